#include "services/browser/linkpolicy.h"

#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

// Longer than any feed address; anything longer is not one.
constexpr qsizetype maximumFeedLinkLength = 8192;

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// The link as people can read it in a message, however long it is.
QString quoted(const QString &text)
{
    QString shown = text.left(200);
    for (QChar &c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'\ufffd';
    }
    return u"\u201c"_s + shown + (text.size() > 200 ? u"\u2026\u201d"_s : u"\u201d"_s);
}

} // namespace

bool LinkPolicy::isOpenable(const QUrl &url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http"_s || scheme == u"https"_s)
        return !url.host().isEmpty();
    return scheme == u"mailto"_s;
}

QUrl LinkPolicy::withoutUnsafeFields(const QUrl &url)
{
    if (url.scheme().compare(u"mailto"_s, Qt::CaseInsensitive) != 0 || !url.hasQuery())
        return url;
    static const QStringList messageFields{u"to"_s,      u"cc"_s,   u"bcc"_s,
                                           u"subject"_s, u"body"_s, u"in-reply-to"_s};
    const QUrlQuery query(url);
    QUrlQuery kept;
    for (const auto &[name, value] : query.queryItems(QUrl::FullyEncoded)) {
        if (messageFields.contains(name, Qt::CaseInsensitive))
            kept.addQueryItem(name, value);
    }
    QUrl safe(url);
    if (kept.isEmpty())
        safe.setQuery(QString());
    else
        safe.setQuery(kept);
    return safe;
}

std::optional<QString> LinkPolicy::acceptFeedLink(const QString &text, QString *refusal)
{
    const auto refuse = [&](const QString &reason) -> std::optional<QString> {
        if (refusal)
            *refusal = reason;
        return std::nullopt;
    };
    if (text.size() > maximumFeedLinkLength || hasControlCharacters(text))
        return refuse(u"Vantrel cannot subscribe to %1: it is not a feed address."_s.arg(quoted(text)));
    const QString lower = text.toLower();
    QString address;
    if (lower.startsWith(u"feed://"_s))
        address = u"http://"_s + text.mid(7);
    else if (lower.startsWith(u"feed:http://"_s) || lower.startsWith(u"feed:https://"_s))
        address = text.mid(5);
    else
        return refuse(u"Vantrel subscribes only to links that begin with feed:http, feed:https or "
                      u"feed://, not to %1."_s.arg(quoted(text)));
    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty())
        return refuse(u"Vantrel cannot subscribe to %1: it holds no valid web address."_s.arg(quoted(text)));
    return text;
}
