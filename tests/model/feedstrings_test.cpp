#include "common/qtprinters.h"
#include "model/parse/feedstrings.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FeedUrlTest, turnsWhatTheUserTypedIntoAnAddress)
{
    EXPECT_EQ(FeedStrings::feedURL(u"feed://example"_s), QUrl(u"http://example"_s));
    EXPECT_EQ(FeedStrings::feedURL(u"FEED://example"_s), QUrl(u"http://example"_s));
    EXPECT_EQ(FeedStrings::feedURL(u"HTTPS://example/feed"_s), QUrl(u"https://example/feed"_s));
    EXPECT_EQ(FeedStrings::feedURL(u"example/rss"_s), QUrl(u"http://example/rss"_s));
    // The bare scheme is not recognised as one and gets another in front.
    EXPECT_EQ(FeedStrings::feedURL(u"http://"_s).host(), u"http"_s);
    EXPECT_EQ(FeedStrings::feedURL(u"https://host.example/a b"_s), QUrl());
}

TEST(FeedAddressesTest, webAddressesAndAddressesWithoutASchemeAreTakenAndEverythingElseIsRefused)
{
    for (const QString &accepted :
         {u"http://example.org/rss"_s, u"HTTPS://example.org/feed"_s, u"feed://example.org/rss"_s,
          u"example.com/rss"_s, u"localhost:8080/rss"_s, u"127.0.0.1:9/news.xml"_s, u"example.com:80"_s})
        EXPECT_TRUE(FeedStrings::feedAddressRefusal(accepted).isNull()) << accepted.toStdString();

    for (const QString &refused : {u"file:///etc/passwd"_s, u"file:/etc/passwd"_s, u"ftp://example.org/rss"_s,
                                   u"mailto:editor@example.org"_s, u"javascript:alert(1)"_s})
        EXPECT_EQ(
            FeedStrings::feedAddressRefusal(refused),
            u"\"%1\" is not a feed address: only http, https and feed addresses can be subscribed to."_s.arg(
                refused));
    for (const QString &path : {u"/etc/passwd"_s, u"~/feeds/news.xml"_s, u"./news.xml"_s, u"../news.xml"_s})
        EXPECT_EQ(
            FeedStrings::feedAddressRefusal(path),
            u"\"%1\" is a file path, not a feed address: only http, https and feed addresses can be subscribed to."_s
                .arg(path));
    for (const QString &noUrl : {QString(), u"http:///news.xml"_s, u"https://host.example/a b"_s})
        EXPECT_EQ(FeedStrings::feedAddressRefusal(noUrl), u"\"%1\" is not a feed address."_s.arg(noUrl));
}

TEST(FeedAddressesTest, areTheSameOnlyWhenBothAreUrlsAndEqualAfterNormalising)
{
    EXPECT_TRUE(FeedStrings::sameFeedAddress(u"feed://example.org/rss"_s, u"http://example.org/rss"_s));
    EXPECT_TRUE(FeedStrings::sameFeedAddress(u"example.org/rss"_s, u"HTTP://example.org/rss"_s));
    EXPECT_FALSE(FeedStrings::sameFeedAddress(u"http://example.org/rss"_s, u"https://example.org/rss"_s));
    EXPECT_FALSE(FeedStrings::sameFeedAddress(QString(), QString()));
    EXPECT_FALSE(FeedStrings::sameFeedAddress(u"a b"_s, u"a b"_s));
}

struct EntityCase {
    const char16_t *text;
    const char16_t *decoded;
};

class DecodingEntitiesTest : public testing::TestWithParam<EntityCase> {};

TEST_P(DecodingEntitiesTest, givesTheCharacters)
{
    EXPECT_EQ(FeedStrings::stringByDecodingHTMLEntities(QString::fromUtf16(GetParam().text)),
              QString::fromUtf16(GetParam().decoded));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodingEntitiesTest,
    testing::Values(
        EntityCase{u"plain text", u"plain text"},
        EntityCase{u"Fish &amp; Chips &lt;b&gt; &quot;q&quot; it&apos;s", u"Fish & Chips <b> \"q\" it's"},
        EntityCase{u"&AMP; is matched without regard to case", u"& is matched without regard to case"},
        EntityCase{u"&#65;&#x42;&#X43; &#68", u"ABC D"},
        EntityCase{u"&nbsp;&rsquo; stay", u"&nbsp;&rsquo; stay"},
        EntityCase{u"&#zz; and &#x; and &#;", u"&#zz; and &#x; and &#;"},
        EntityCase{u"lone & ampersand &", u"lone & ampersand &"},
        EntityCase{u"emoji &#x1F600; and &#128512;", u"emoji \U0001F600 and \U0001F600"},
        EntityCase{u"&#xD800; &#0; &#99999999999;", u"\uFFFD \uFFFD \uFFFD"}));
