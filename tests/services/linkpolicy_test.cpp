#include "services/browser/linkpolicy.h"

#include "common/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(LinkPolicyTest, acceptsFeedLinksToWebAddressesUnchanged)
{
    for (const QString &link :
         {u"feed://example.org/rss.xml"_s, u"feed:https://example.org/rss?x=1&y=%20"_s,
          u"feed:http://example.org/atom"_s, u"FEED://Example.org/"_s, u"feed:HTTPS://example.org/"_s}) {
        QString refusal;
        EXPECT_EQ(LinkPolicy::acceptFeedLink(link, &refusal), std::optional<QString>(link))
            << link.toStdString();
        EXPECT_TRUE(refusal.isEmpty());
    }
}

TEST(LinkPolicyTest, refusesEverythingElseWithAMessage)
{
    for (const QString &link :
         {u"feed:javascript:alert(1)"_s, u"feed:file:///etc/passwd"_s, u"feed:data:text/xml,<rss/>"_s,
          u"feed:ftp://example.org/rss"_s, u"feed:"_s, u"feed://"_s, u"feed:http://"_s,
          u"feed:httpexample.org"_s, u"http://example.org/rss"_s, u"feed://example.org/\nrss"_s,
          u"feed://example.org/\u0000"_s, u""_s, QString(u"feed://example.org/"_s + QString(9000, u'a'))}) {
        QString refusal;
        EXPECT_EQ(LinkPolicy::acceptFeedLink(link, &refusal), std::nullopt) << link.toStdString();
        EXPECT_FALSE(refusal.isEmpty());
        // The message shows the link, but never more than a line of it.
        EXPECT_LT(refusal.size(), 400);
        EXPECT_FALSE(refusal.contains(u'\n'));
        EXPECT_FALSE(refusal.contains(QChar(u'\0')));
    }
}

TEST(LinkPolicyTest, opensOnlyWebAndMailLinks)
{
    EXPECT_TRUE(LinkPolicy::isOpenable(QUrl(u"https://example.org/"_s)));
    EXPECT_TRUE(LinkPolicy::isOpenable(QUrl(u"mailto:a@example.org"_s)));
    EXPECT_FALSE(LinkPolicy::isOpenable(QUrl(u"http:/relative"_s)));
    EXPECT_FALSE(LinkPolicy::isOpenable(QUrl(u"file:///home"_s)));
    EXPECT_FALSE(LinkPolicy::isOpenable(QUrl()));
}

TEST(LinkPolicyTest, mailLinksKeepOnlyTheFieldsOfAMessage)
{
    const QUrl hostile(u"mailto:a@example.org?subject=Hi%20there&attach=/home/me/.ssh/id_rsa"
                       u"&body=Line%0Atwo&Attachment=file:///etc/passwd&cc=b@example.org"_s);
    const QUrl safe = LinkPolicy::withoutUnsafeFields(hostile);
    EXPECT_EQ(safe.toString(QUrl::FullyEncoded),
              u"mailto:a@example.org?subject=Hi%20there&body=Line%0Atwo&cc=b@example.org"_s);
    EXPECT_EQ(LinkPolicy::withoutUnsafeFields(QUrl(u"mailto:a@example.org?attach=/etc/passwd"_s)),
              QUrl(u"mailto:a@example.org"_s));
    const QUrl web(u"https://example.org/a?attach=/etc/passwd"_s);
    EXPECT_EQ(LinkPolicy::withoutUnsafeFields(web), web);
}
