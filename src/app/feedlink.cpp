#include "app/feedlink.h"

#include "services/browser/linkpolicy.h"

using namespace Qt::StringLiterals;

namespace {

bool startsWith(const QString &text, QLatin1StringView prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

std::optional<QUrl> webAddress(const QString &address, const QString &original, QString *refusal)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && !url.host().isEmpty() && (scheme == u"http"_s || scheme == u"https"_s))
        return url;
    if (refusal) {
        *refusal = u"Vantrel cannot subscribe to \u201c%1\u201d: it holds no valid web address."_s.arg(
            original.left(200));
    }
    return std::nullopt;
}

} // namespace

std::optional<QUrl> FeedLink::address(const QString &text, QString *refusal)
{
    const QString trimmed = text.trimmed();
    if (startsWith(trimmed, "feed:"_L1)) {
        if (!LinkPolicy::acceptFeedLink(trimmed, refusal))
            return std::nullopt;
        const QString address =
            startsWith(trimmed, "feed://"_L1) ? u"http://"_s + trimmed.mid(7) : trimmed.mid(5);
        return webAddress(address, trimmed, refusal);
    }
    if (startsWith(trimmed, "http://"_L1) || startsWith(trimmed, "https://"_L1)) {
        // The same checks as for a feed: link (length, control characters), under its own name.
        if (!LinkPolicy::acceptFeedLink(u"feed:"_s + trimmed, refusal))
            return std::nullopt;
        return webAddress(trimmed, trimmed, refusal);
    }
    if (refusal) {
        *refusal = u"Vantrel subscribes only to feed: links and http or https addresses, not to "
                   u"\u201c%1\u201d."_s.arg(trimmed.left(200));
    }
    return std::nullopt;
}
