#pragma once

#include <QString>

// The texts of feed addresses as the feeds pane shows and takes them: "@name" stands for the
// social network's user timeline of that name.
namespace FeedAddressText {
// "feed://twitter.com/statuses/user_timeline/<name>.rss".
QString twitterTimelineURL(const QString &userName);
// What the add-feed sheet is prefilled with for a clipboard text: the text in lower case when it
// is a web or feed address long enough to name a host, else the empty string.
QString fromClipboard(const QString &clipboard);
// The address to subscribe to for a typed entry: "@name" gives the timeline, any other text is
// taken as typed.
QString addressForEntry(const QString &entry);
// The entry that shows an address: "@name" for a timeline address in either scheme, else the
// address unchanged.
QString entryForAddress(const QString &address);
} // namespace FeedAddressText
