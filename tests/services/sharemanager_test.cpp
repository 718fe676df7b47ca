#include "desktopservicesfixture.h"

#include "common/qtprinters.h"
#include "services/sharing/sharemanager.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

class ShareManagerTest : public DesktopServicesFixture {
protected:
    QList<QAction *> share(const QString &title, const QString &link)
    {
        return manager.shareItem(headline(u"Feed"_s, title, link), &menu);
    }

    static QStringList texts(const QList<QAction *> &actions)
    {
        QStringList found;
        for (const QAction *action : actions)
            found.append(action->text());
        return found;
    }

    ShareManager manager{browser};
    QObject menu;
};

} // namespace

TEST_F(ShareManagerTest, emailComposesAMailWithTheTitleAsSubjectAndTheLinkAsBody)
{
    const QList<QAction *> actions = share(u"Hello World"_s, u"https://example.org/a?b=c&d=e"_s);
    EXPECT_EQ(texts(actions), (QStringList{u"Email"_s, u"Copy Link"_s, u"Copy Title and Link"_s}));
    EXPECT_TRUE(ShareManager::sharePossible());

    actions.at(0)->trigger();
    ASSERT_EQ(opened.urls.size(), 1);
    const QUrl mail = opened.urls.at(0);
    EXPECT_EQ(mail.toString(QUrl::FullyEncoded),
              u"mailto:?subject=Hello%20World&body=https%3A%2F%2Fexample.org%2Fa%3Fb%3Dc%26d%3De"_s);
    const QUrlQuery query(mail);
    EXPECT_EQ(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded), u"Hello World"_s);
    EXPECT_EQ(query.queryItemValue(u"body"_s, QUrl::FullyDecoded), u"https://example.org/a?b=c&d=e"_s);
    EXPECT_EQ(manager.title(), u"Hello World"_s);
    EXPECT_EQ(manager.url(), QUrl(u"https://example.org/a?b=c&d=e"_s));
}

TEST_F(ShareManagerTest, aHeadlineCannotAddHeadersToTheMail)
{
    const QString title = u"Win\r\nBcc: victim@example.org&cc=spam@example.org&body=phish #1 ?"_s;
    share(title, u"https://example.org/"_s).at(0)->trigger();
    ASSERT_EQ(opened.urls.size(), 1);
    const QUrl mail = opened.urls.at(0);
    const QString encoded = mail.toString(QUrl::FullyEncoded);
    EXPECT_TRUE(encoded.contains(u"%0D%0ABcc%3A%20victim%40example.org%26cc%3Dspam"_s))
        << encoded.toStdString();
    const QUrlQuery query(mail);
    EXPECT_EQ(query.queryItems(QUrl::FullyDecoded).size(), 2);
    EXPECT_EQ(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded), title);
    EXPECT_TRUE(mail.fragment().isEmpty());
}

TEST_F(ShareManagerTest, copiesTheLinkOrTheTitleAndTheLink)
{
    const QList<QAction *> actions =
        share(u"  Storm\nwarning "_s, u"https://example.org/caf\u00e9?q=a%20b"_s);
    ASSERT_EQ(actions.size(), 3);
    actions.at(1)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"https://example.org/caf%C3%A9?q=a%20b"_s);
    actions.at(2)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              u"Storm warning\nhttps://example.org/caf%C3%A9?q=a%20b"_s);
    for (const QAction *action : actions)
        EXPECT_EQ(action->parent(), &menu);
}

TEST_F(ShareManagerTest, aLinkThatIsNoURLOffersNothing)
{
    EXPECT_TRUE(share(u"Title"_s, u"not a link"_s).isEmpty());
    EXPECT_TRUE(share(u"Title"_s, QString()).isEmpty());
    EXPECT_TRUE(menu.children().isEmpty());
    EXPECT_EQ(manager.item()->title(), u"Title"_s);
}
