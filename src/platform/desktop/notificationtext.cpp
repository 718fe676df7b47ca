#include "platform/desktop/notificationtext.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

bool isDropped(char16_t c)
{
    return (c < 0x20 && c != u'\n' && c != u'\t') || (c >= 0x7f && c < 0xa0) || c == 0xfeff;
}

QString withoutControls(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\r')
            kept += u'\n';
        else if (!isDropped(c.unicode()))
            kept += c;
    }
    return kept;
}

} // namespace

QString NotificationText::cut(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    qsizetype end = length - 1;
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end).trimmed() + u'\u2026';
}

QString NotificationText::escapeMarkup(const QString &plainText)
{
    QString escaped;
    escaped.reserve(plainText.size());
    for (const QChar c : plainText) {
        switch (c.unicode()) {
        case u'<':
            escaped += u"&lt;"_s;
            break;
        case u'>':
            escaped += u"&gt;"_s;
            break;
        case u'&':
            escaped += u"&amp;"_s;
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

QString NotificationText::title(const QString &plainText)
{
    return escapeMarkup(cut(withoutControls(plainText).simplified(), maximumTitleLength));
}

QString NotificationText::body(const QString &plainText)
{
    QStringList lines;
    const QStringList parts = withoutControls(plainText).split(u'\n');
    for (const QString &part : parts) {
        const QString line = part.simplified();
        if (!line.isEmpty())
            lines.append(line);
    }
    return escapeMarkup(cut(lines.join(u'\n'), maximumBodyLength));
}
