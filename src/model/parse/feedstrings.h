#pragma once

#include <QString>
#include <QUrl>

// String operations of feed addresses and headline text.
namespace FeedStrings {
// The address to fetch for an address as the user typed it: "feed://" becomes "http://", an
// address without "http://" or "https://" gets "http://" in front. An invalid QUrl when the
// text does not form a URL.
QUrl feedURL(const QString &typed);

// Whether two typed addresses name the same feed: both give a feedURL with a host, and the same
// one. An address that is no URL (or none at all) is the same as nothing.
bool sameFeedAddress(const QString &typed, const QString &other);

// Why the typed text cannot be subscribed to, or a null string when it can. Accepted are http and
// https addresses, "feed://" ones, and addresses without a scheme, which get "http://" (such as
// "example.com/rss" or "localhost:8080/rss"). Refused are other schemes ("file:", "ftp:",
// "mailto:" …), file paths (beginning with "/", "~" or "."), and text that gives no URL with a host.
QString feedAddressRefusal(const QString &typed);

// The text with the basic character references decoded: &amp; &apos; &quot; &lt; &gt; and
// numeric ones (&#65; &#x41;). Other named references stay as written; a numeric reference
// without a number is kept as text.
QString stringByDecodingHTMLEntities(const QString &text);
} // namespace FeedStrings
