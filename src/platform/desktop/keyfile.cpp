#include "platform/desktop/keyfile.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

bool isKeyCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '/' || c == '.' || c == '+';
}

// Decodes the escapes; with `separator` set, splits at unescaped ';' (a trailing one ends the list).
QStringList unescape(const QString &raw, bool separator)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw.at(++i);
            switch (next.unicode()) {
            case u's':
                current += u' ';
                break;
            case u'n':
                current += u'\n';
                break;
            case u't':
                current += u'\t';
                break;
            case u'r':
                current += u'\r';
                break;
            case u'\\':
                current += u'\\';
                break;
            case u';':
                current += separator ? u";"_s : u"\\;"_s;
                break;
            default:
                current += u'\\';
                current += next;
                break;
            }
        } else if (separator && c == u';') {
            parts.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty() || !separator)
        parts.append(current);
    return parts;
}

} // namespace

KeyFile KeyFile::fromText(const QByteArray &text)
{
    KeyFile file;
    QList<QByteArray> lines = text.split('\n');
    file.m_endsWithNewline = text.isEmpty() || text.endsWith('\n');
    if (file.m_endsWithNewline)
        lines.removeLast();
    int group = -1;
    for (const QByteArray &raw : std::as_const(lines)) {
        Line line = parseLine(raw, group);
        if (line.kind == Line::Kind::Group)
            group = int(file.m_lines.size());
        line.group = line.kind == Line::Kind::Group ? group : line.group;
        file.m_lines.push_back(std::move(line));
    }
    return file;
}

std::optional<KeyFile> KeyFile::read(const QString &path, bool missingIsEmpty, QString *error)
{
    QFile file(path);
    if (missingIsEmpty && !file.exists())
        return KeyFile();
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"cannot read %1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    return fromText(file.readAll());
}

KeyFile::Line KeyFile::parseLine(const QByteArray &raw, int currentGroup)
{
    Line line;
    line.raw = raw;
    line.group = currentGroup;
    const QByteArray text = raw.endsWith('\r') ? raw.chopped(1) : raw;
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#'))
        return line;
    if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
        line.kind = Line::Kind::Group;
        line.name = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2));
        return line;
    }
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0 || currentGroup < 0)
        return line;
    const QByteArray key = text.left(equals).trimmed();
    const qsizetype bracket = key.indexOf('[');
    const QByteArray base = bracket < 0 ? key : key.left(bracket);
    if (base.isEmpty() || !std::all_of(base.begin(), base.end(), isKeyCharacter) ||
        (bracket >= 0 && !key.endsWith(']')))
        return line;
    line.kind = Line::Kind::Entry;
    line.name = QString::fromUtf8(key);
    QByteArray value = text.mid(equals + 1);
    while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove(0, 1);
    line.value = QString::fromUtf8(value);
    return line;
}

QByteArray KeyFile::toText() const
{
    QByteArray text;
    for (const Line &line : m_lines) {
        text += line.raw;
        text += '\n';
    }
    if (!m_endsWithNewline && !text.isEmpty())
        text.chop(1);
    return text;
}

int KeyFile::groupIndex(const QString &group) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Kind::Group && m_lines[i].name == group)
            return int(i);
    }
    return -1;
}

const KeyFile::Line *KeyFile::entry(const QString &group, const QString &key) const
{
    const int index = groupIndex(group);
    if (index < 0)
        return nullptr;
    for (size_t i = size_t(index) + 1; i < m_lines.size() && m_lines[i].group == index; ++i) {
        if (m_lines[i].kind == Line::Kind::Entry && m_lines[i].name == key)
            return &m_lines[i];
    }
    return nullptr;
}

bool KeyFile::hasGroup(const QString &group) const
{
    return groupIndex(group) >= 0;
}

bool KeyFile::contains(const QString &group, const QString &key) const
{
    return entry(group, key) != nullptr;
}

std::optional<QString> KeyFile::rawValue(const QString &group, const QString &key) const
{
    if (const Line *line = entry(group, key))
        return line->value;
    return std::nullopt;
}

QString KeyFile::string(const QString &group, const QString &key) const
{
    const std::optional<QString> raw = rawValue(group, key);
    return raw ? unescape(*raw, false).constFirst() : QString();
}

QStringList KeyFile::list(const QString &group, const QString &key) const
{
    const std::optional<QString> raw = rawValue(group, key);
    return raw ? unescape(*raw, true) : QStringList();
}

bool KeyFile::boolean(const QString &group, const QString &key, bool fallback) const
{
    const QString value = rawValue(group, key).value_or(QString()).trimmed();
    if (value == u"true"_s)
        return true;
    if (value == u"false"_s)
        return false;
    return fallback;
}

QString KeyFile::localeString(const QString &group, const QString &key, const QString &locale) const
{
    const QString withoutModifier = locale.section(u'@', 0, 0);
    const QString language = withoutModifier.section(u'_', 0, 0);
    for (const QString &candidate : {withoutModifier, language}) {
        if (!candidate.isEmpty() && contains(group, key + u'[' + candidate + u']'))
            return string(group, key + u'[' + candidate + u']');
    }
    return string(group, key);
}

QStringList KeyFile::keys(const QString &group) const
{
    QStringList names;
    const int index = groupIndex(group);
    if (index < 0)
        return names;
    for (size_t i = size_t(index) + 1; i < m_lines.size() && m_lines[i].group == index; ++i) {
        if (m_lines[i].kind == Line::Kind::Entry && !names.contains(m_lines[i].name))
            names.append(m_lines[i].name);
    }
    return names;
}

void KeyFile::setRawValue(const QString &group, const QString &key, const QString &rawValue)
{
    Line line;
    line.kind = Line::Kind::Entry;
    line.name = key;
    line.value = rawValue;
    line.raw = (key + u'=' + rawValue).toUtf8();
    if (const Line *existing = entry(group, key)) {
        line.group = existing->group;
        m_lines[size_t(existing - m_lines.data())] = std::move(line);
        return;
    }
    int index = groupIndex(group);
    if (index < 0) {
        // A blank line between groups, as people write them.
        if (!m_lines.empty() && !m_lines.back().raw.trimmed().isEmpty())
            m_lines.push_back(parseLine(QByteArray(), m_lines.back().group));
        m_lines.push_back(parseLine(u"[%1]"_s.arg(group).toUtf8(), -1));
        index = int(m_lines.size()) - 1;
        m_lines.back().group = index;
    }
    // After the group's last entry, so that blank lines and comments before the next group stay there.
    size_t insertAt = size_t(index) + 1;
    for (size_t i = insertAt; i < m_lines.size() && m_lines[i].group == index; ++i) {
        if (m_lines[i].kind == Line::Kind::Entry)
            insertAt = i + 1;
    }
    line.group = index;
    m_lines.insert(m_lines.begin() + qsizetype(insertAt), std::move(line));
    renumberGroups();
}

void KeyFile::setString(const QString &group, const QString &key, const QString &value)
{
    setRawValue(group, key, escapeString(value));
}

void KeyFile::remove(const QString &group, const QString &key)
{
    const int index = groupIndex(group);
    if (index < 0)
        return;
    std::erase_if(m_lines, [&](const Line &line) {
        return line.group == index && line.kind == Line::Kind::Entry && line.name == key;
    });
    renumberGroups();
}

void KeyFile::renumberGroups()
{
    int group = -1;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Kind::Group)
            group = int(i);
        m_lines[i].group = group;
    }
}

QString KeyFile::escapeString(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case u'\\':
            escaped += u"\\\\"_s;
            break;
        case u'\n':
            escaped += u"\\n"_s;
            break;
        case u'\t':
            escaped += u"\\t"_s;
            break;
        case u'\r':
            escaped += u"\\r"_s;
            break;
        case u' ':
            escaped += i == 0 ? u"\\s"_s : u" "_s;
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

QString KeyFile::escapeList(const QStringList &values)
{
    QString escaped;
    for (const QString &value : values)
        escaped += escapeString(value).replace(u';', u"\\;"_s) + u';';
    return escaped;
}
