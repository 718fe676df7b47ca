#pragma once

#include <QString>
#include <QUrl>

// String operations of feed addresses and headline text.
namespace FeedStrings {
// The address to fetch for an address as the user typed it: "feed://" becomes "http://", an
// address without "http://" or "https://" gets "http://" in front. An invalid QUrl when the
// text does not form a URL.
QUrl feedURL(const QString &typed);

// The text with the basic character references decoded: &amp; &apos; &quot; &lt; &gt; and
// numeric ones (&#65; &#x41;). Other named references stay as written; a numeric reference
// without a number is kept as text.
QString stringByDecodingHTMLEntities(const QString &text);
} // namespace FeedStrings
