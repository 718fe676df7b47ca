#include "prefs/feedaddresstext.h"

#include "model/parse/feedstrings.h"

using namespace Qt::StringLiterals;

namespace {

const QString timelinePath = u"twitter.com/statuses/user_timeline/"_s;
const QString timelineSuffix = u".rss"_s;

} // namespace

QString FeedAddressText::twitterTimelineURL(const QString &userName)
{
    return u"feed://"_s + timelinePath + userName + timelineSuffix;
}

QString FeedAddressText::fromClipboard(const QString &clipboard)
{
    const QString text = clipboard.toLower();
    const bool longEnough =
        ((text.startsWith(u"http://"_s) || text.startsWith(u"feed://"_s)) && text.size() >= 8) ||
        (text.startsWith(u"https://"_s) && text.size() >= 9);
    return longEnough && FeedStrings::feedURL(text).isValid() ? text : QString();
}

QString FeedAddressText::addressForEntry(const QString &entry)
{
    return entry.startsWith(u'@') ? twitterTimelineURL(entry.mid(1)) : entry;
}

QString FeedAddressText::entryForAddress(const QString &address)
{
    for (const QString &scheme : {u"feed://"_s, u"http://"_s}) {
        const QString prefix = scheme + timelinePath;
        if (address.startsWith(prefix) && address.size() > prefix.size() + timelineSuffix.size())
            return u'@' + address.mid(prefix.size(), address.size() - prefix.size() - timelineSuffix.size());
    }
    return address;
}
