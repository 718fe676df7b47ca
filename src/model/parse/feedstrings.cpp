#include "model/parse/feedstrings.h"

#include <QRegularExpression>
#include <QStringView>
#include <optional>

using namespace Qt::StringLiterals;

QUrl FeedStrings::feedURL(const QString &typed)
{
    QString address;
    if (typed.size() >= 8 && typed.left(7).toLower() == u"feed://"_s)
        address = u"http"_s + typed.mid(4);
    else if ((typed.size() >= 8 && typed.startsWith(u"http://"_s, Qt::CaseInsensitive)) ||
             (typed.size() >= 9 && typed.startsWith(u"https://"_s, Qt::CaseInsensitive)))
        address = typed;
    else
        address = u"http://"_s + typed;
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

bool FeedStrings::sameFeedAddress(const QString &typed, const QString &other)
{
    // "http://" alone is a valid URL, but no address.
    const QUrl url = feedURL(typed);
    return !url.host().isEmpty() && url == feedURL(other);
}

namespace {

// A leading "name:" is a scheme unless what follows is a port, as in "localhost:8080/rss".
bool hasOtherScheme(const QString &typed)
{
    static const QRegularExpression schemePrefix(u"^([A-Za-z][A-Za-z0-9+.-]*):(?!\\d+(?:[/?#]|$))"_s);
    const QRegularExpressionMatch match = schemePrefix.match(typed);
    if (!match.hasMatch())
        return false;
    const QString scheme = match.captured(1).toLower();
    return scheme != u"http"_s && scheme != u"https"_s && scheme != u"feed"_s;
}

bool isFilePath(const QString &typed)
{
    return typed.startsWith(u'/') || typed.startsWith(u'~') || typed.startsWith(u'.');
}

} // namespace

QString FeedStrings::feedAddressRefusal(const QString &typed)
{
    const QString onlyWebAddresses = u"only http, https and feed addresses can be subscribed to"_s;
    if (isFilePath(typed))
        return u"\"%1\" is a file path, not a feed address: %2."_s.arg(typed, onlyWebAddresses);
    if (hasOtherScheme(typed))
        return u"\"%1\" is not a feed address: %2."_s.arg(typed, onlyWebAddresses);
    if (feedURL(typed).host().isEmpty())
        return u"\"%1\" is not a feed address."_s.arg(typed);
    return {};
}

namespace {

int digitValue(QChar c, int base)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        value = 10 + c.unicode() - u'a';
    else if (c >= u'A' && c <= u'F')
        value = 10 + c.unicode() - u'A';
    return value < base ? value : -1;
}

// The number of a numeric reference at `position`, which is advanced past it. Large numbers
// saturate just past the last code point.
std::optional<qint64> readNumber(QStringView text, qsizetype &position, bool hexadecimal)
{
    const int base = hexadecimal ? 16 : 10;
    qsizetype i = position;
    bool negative = false;
    if (!hexadecimal && i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype digitsStart = i;
    qint64 value = 0;
    for (int digit; i < text.size() && (digit = digitValue(text[i], base)) >= 0; ++i)
        value = std::min<qint64>(value * base + digit, 0x110000);
    if (i == digitsStart)
        return std::nullopt;
    position = i;
    return negative ? -value : value;
}

// The character of a code point; U+FFFD for numbers that name none.
QString characterFor(qint64 codePoint)
{
    const bool valid =
        codePoint > 0 && codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
    const char32_t character = valid ? char32_t(codePoint) : char32_t(0xFFFD);
    return QString::fromUcs4(&character, 1);
}

struct NamedReference {
    QStringView name;
    QChar character;
};

constexpr NamedReference namedReferences[] = {
    {u"&amp;", u'&'}, {u"&apos;", u'\''}, {u"&quot;", u'"'}, {u"&lt;", u'<'}, {u"&gt;", u'>'},
};

bool appendNamedReference(QStringView text, qsizetype &position, QString &out)
{
    for (const NamedReference &reference : namedReferences) {
        if (text.mid(position).startsWith(reference.name, Qt::CaseInsensitive)) {
            out += reference.character;
            position += reference.name.size();
            return true;
        }
    }
    return false;
}

// At "&#": the referenced character, or the reference as text when no number follows.
void appendNumericReference(QStringView text, qsizetype &position, QString &out)
{
    position += 2;
    const bool hexadecimal = position < text.size() && (text[position] == u'x' || text[position] == u'X');
    if (hexadecimal)
        ++position;
    if (const auto number = readNumber(text, position, hexadecimal)) {
        out += characterFor(*number);
        if (position < text.size() && text[position] == u';')
            ++position;
        return;
    }
    qsizetype stop = position;
    while (stop < text.size() && !QStringView(u" \t\n\r;").contains(text[stop]))
        ++stop;
    out += u"&#"_s;
    if (hexadecimal)
        out += u'x';
    out += text.mid(position, stop - position);
    position = stop;
}

} // namespace

QString FeedStrings::stringByDecodingHTMLEntities(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    const QStringView view(text);
    QString out;
    out.reserve(text.size() * 5 / 4);
    qsizetype position = 0;
    while (position < view.size()) {
        const qsizetype ampersand = view.indexOf(u'&', position);
        if (ampersand < 0) {
            out += view.mid(position);
            break;
        }
        out += view.mid(position, ampersand - position);
        position = ampersand;
        if (appendNamedReference(view, position, out))
            continue;
        if (view.mid(position).startsWith(u"&#")) {
            appendNumericReference(view, position, out);
            continue;
        }
        out += u'&';
        ++position;
    }
    return out;
}
