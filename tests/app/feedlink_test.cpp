#include "app/feedlink.h"
#include "common/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FeedLinkTest, givesTheWebAddressWithoutTheFeedPrefix)
{
    const std::pair<QString, QString> cases[] = {
        {u"feed://example.org/rss.xml"_s, u"http://example.org/rss.xml"_s},
        {u"feed:https://example.org/rss.xml"_s, u"https://example.org/rss.xml"_s},
        {u"FEED:http://example.org/rss.xml"_s, u"http://example.org/rss.xml"_s},
        {u"https://example.org/atom?x=1&y='2'"_s, u"https://example.org/atom?x=1&y='2'"_s},
        {u"  feed://example.org/a%20b  "_s, u"http://example.org/a%20b"_s},
    };
    for (const auto &[link, address] : cases) {
        QString refusal;
        const std::optional<QUrl> url = FeedLink::address(link, &refusal);
        ASSERT_TRUE(url.has_value()) << link.toStdString() << ": " << refusal.toStdString();
        EXPECT_EQ(url->toString(QUrl::FullyEncoded), address);
    }
}

TEST(FeedLinkTest, refusesWhatIsNoWebFeedAndSaysWhy)
{
    const QString refused[] = {
        u"feed:file:///etc/passwd"_s,
        u"feed:javascript:alert(1)"_s,
        u"feed:ftp://example.org/rss"_s,
        u"file:///home/me/feed.xml"_s,
        u"stray"_s,
        u"feed://"_s,
        u"http://"_s,
        u"feed:https://exa mple.org/"_s,
        u"https://example.org/\nSet-Cookie: x"_s,
        u"https://example.org/"_s + QString(9000, u'a'),
    };
    for (const QString &link : refused) {
        QString refusal;
        EXPECT_FALSE(FeedLink::address(link, &refusal).has_value()) << link.left(80).toStdString();
        EXPECT_TRUE(refusal.startsWith(u"Vantrel "_s)) << refusal.toStdString();
        EXPECT_LT(refusal.size(), 400);
    }
}
