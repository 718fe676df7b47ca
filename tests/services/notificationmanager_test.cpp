#include "desktopservicesfixture.h"

#include "common/fakenotificationserver.h"
#include "common/privatebus.h"
#include "common/qtprinters.h"
#include "common/waitfor.h"
#include "platform/capturedwarnings.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/desktop/notificationtext.h"
#include "platform/settingskeys.h"
#include "services/notifications/notificationmanager.h"
#include "services/notifications/sharingservices.h"

using namespace Qt::StringLiterals;

namespace {

// The manager on a private bus, with a notification server that shows action buttons unless a
// test stops it first.
class NotificationManagerTest : public DesktopServicesFixture {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(bus.address().isEmpty()) << bus.error().toStdString();
        defaults.registerDefaults({{SettingsKey::notificationCenterLevel, 5}});
    }

    void startServer(const QStringList &capabilities = {u"body"_s, u"actions"_s})
    {
        server = std::make_unique<FakeNotificationServer>(bus, capabilities);
        ASSERT_TRUE(server->start());
    }

    NotificationManager &manager()
    {
        if (!m_manager) {
            client = std::make_unique<FreedesktopNotifications>(bus.connect(u"client"_s), 300);
            if (server) {
                EXPECT_TRUE(waitFor([&] { return !client->capabilities().isEmpty(); }));
            }
            m_manager = std::make_unique<NotificationManager>(defaults, *client, browser);
        }
        return *m_manager;
    }

    // The server's notifications once `count` have arrived.
    const QList<FakeNotificationServer::Notification> &shown(qsizetype count)
    {
        EXPECT_TRUE(waitFor([&] { return server->notifications().size() >= count; }));
        return server->notifications();
    }

    PrivateBus bus;
    std::unique_ptr<FakeNotificationServer> server;
    std::unique_ptr<FreedesktopNotifications> client;

private:
    std::unique_ptr<NotificationManager> m_manager;
};

} // namespace

TEST_F(NotificationManagerTest, theLevelSaysWhichHeadlinesAreAnnounced)
{
    startServer();
    const auto marked = headline(u"Feed"_s, u"Marked"_s, u"https://example.org/m"_s, true);
    const auto plain = headline(u"Feed"_s, u"Plain"_s, u"https://example.org/p"_s);

    // The registered level, 5: marked headlines only.
    manager().displayItem(plain);
    manager().displayItem(marked);
    defaults.setObject(0, SettingsKey::notificationCenterLevel);
    manager().displayItem(marked);
    manager().displayItem(plain);
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    manager().displayItem(plain);
    manager().displayItem(marked);

    const auto &notifications = shown(3);
    QStringList bodies;
    for (const auto &notification : notifications)
        bodies.append(notification.body.section(u'\n', 0, 0));
    EXPECT_EQ(bodies, (QStringList{u"Marked"_s, u"Plain"_s, u"Marked"_s}));
}

TEST_F(NotificationManagerTest, theFeedNamesTheNotificationAndAMarkSaysWhichKeywordMatched)
{
    startServer();
    defaults.setObject(QStringList{u"breaking news"_s, u"Storm"_s}, SettingsKey::keywords);
    manager().displayItem(headline(u"Weather <Feed> & Co"_s, u"A st\u00f3rm is <b>coming</b>"_s,
                                   u"https://example.org/s"_s, true));
    const auto &notification = shown(1).at(0);
    EXPECT_EQ(notification.summary, u"Weather &lt;Feed&gt; &amp; Co"_s);
    EXPECT_EQ(notification.body, u"A st\u00f3rm is &lt;b&gt;coming&lt;/b&gt;\nmatched: Storm"_s);
}

TEST_F(NotificationManagerTest, aLongMarkedHeadlineIsCutBeforeTheKeywordLine)
{
    startServer();
    defaults.setObject(QStringList{u"storm"_s}, SettingsKey::keywords);
    manager().displayItem(
        headline(u"Feed"_s, u"Storm "_s + QString(10000, u'x'), u"https://example.org/s"_s, true));
    const QString body = shown(1).at(0).body;
    EXPECT_LE(body.size(), NotificationText::maximumBodyLength);
    EXPECT_TRUE(body.startsWith(u"Storm xxx"_s));
    EXPECT_TRUE(body.endsWith(u"x\u2026\nmatched: storm"_s)) << body.right(40).toStdString();
}

TEST_F(NotificationManagerTest, aClickOpensTheHeadlinesLink)
{
    startServer();
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    manager().displayItem(headline(u"Feed"_s, u"Story"_s, u"https://example.org/story?id=1"_s));
    const auto &notification = shown(1).at(0);
    EXPECT_EQ(notification.actions, (QStringList{u"default"_s, u"Open"_s, u"open"_s, u"Open"_s,
                                                 u"mark-read"_s, u"Mark as Read"_s, u"star"_s, u"Star"_s}));
    server->invokeAction(notification.id, u"default"_s);
    ASSERT_TRUE(waitFor([&] { return opened.urls.size() == 1; }));
    EXPECT_EQ(opened.urls.at(0), QUrl(u"https://example.org/story?id=1"_s));

    server->invokeAction(notification.id, u"open"_s);
    ASSERT_TRUE(waitFor([&] { return opened.urls.size() == 2; }));
}

TEST_F(NotificationManagerTest, theButtonsActOnTheHeadline)
{
    startServer();
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    const auto item = headline(u"Feed"_s, u"Story"_s, u"https://example.org/"_s);
    QSignalSpy markRead(&manager(), &NotificationManager::markAsReadRequested);
    QSignalSpy star(&manager(), &NotificationManager::starRequested);
    manager().displayItem(item);
    const uint id = shown(1).at(0).id;

    server->invokeAction(id, u"mark-read"_s);
    server->invokeAction(id, u"star"_s);
    server->invokeAction(id, u"no-such-action"_s);
    ASSERT_TRUE(waitFor([&] { return star.count() == 1; }));
    ASSERT_EQ(markRead.count(), 1);
    EXPECT_EQ(markRead.at(0).at(0).value<DataItemPtr>(), item);
    EXPECT_EQ(star.at(0).at(0).value<DataItemPtr>(), item);
    EXPECT_TRUE(opened.urls.isEmpty());

    // Once the server has closed it, the notification no longer acts.
    server->close(id);
    server->invokeAction(id, u"star"_s);
    manager().displayItem(item);
    shown(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(star.count(), 1);
}

TEST_F(NotificationManagerTest, withoutButtonsOrLinkOnlyWhatCanWorkIsOffered)
{
    startServer({u"body"_s});
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    manager().displayItem(headline(u"Feed"_s, u"With link"_s, u"https://example.org/"_s));
    manager().displayItem(headline(u"Feed"_s, u"Without link"_s, QString()));
    const auto &notifications = shown(2);
    EXPECT_EQ(notifications.at(0).actions, (QStringList{u"default"_s, u"Open"_s}));
    EXPECT_TRUE(notifications.at(1).actions.isEmpty());

    server->invokeAction(notifications.at(1).id, u"default"_s);
    server->invokeAction(notifications.at(0).id, u"default"_s);
    ASSERT_TRUE(waitFor([&] { return opened.urls.size() == 1; }));
    EXPECT_EQ(opened.urls.at(0), QUrl(u"https://example.org/"_s));
}

TEST_F(NotificationManagerTest, aHostileLinkIsNotOpenedByAClick)
{
    startServer();
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    manager().displayItem(headline(u"Feed"_s, u"Click me"_s, u"javascript:alert(1)"_s));
    server->invokeAction(shown(1).at(0).id, u"default"_s);
    ASSERT_TRUE(waitFor([&] { return beeps() == 1; }));
    EXPECT_TRUE(opened.urls.isEmpty());
}

TEST_F(NotificationManagerTest, withoutAServerNothingIsPosted)
{
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    manager();
    EXPECT_FALSE(sharingServicesAvailable(*client));
    manager().displayItem(headline(u"Feed"_s, u"Story"_s, u"https://example.org/"_s));
    startServer();
    ASSERT_TRUE(waitFor([&] { return client->isServerAvailable(); }));
    EXPECT_TRUE(sharingServicesAvailable(*client));
    manager().displayItem(headline(u"Feed"_s, u"Later"_s, u"https://example.org/"_s));
    EXPECT_EQ(shown(1).size(), 1);
    EXPECT_EQ(shown(1).at(0).body, u"Later"_s);
}

TEST_F(NotificationManagerTest, aServerThatNeverAnswersCostsALogLineAndNothingElse)
{
    CapturedWarnings warnings;
    startServer();
    server->stopAnswering();
    defaults.setObject(1, SettingsKey::notificationCenterLevel);
    manager().displayItem(headline(u"Feed"_s, u"First"_s, u"https://example.org/1"_s));
    manager().displayItem(headline(u"Feed"_s, u"Second"_s, u"https://example.org/2"_s));
    // The server runs on this thread: it gets both calls only because posting does not wait.
    ASSERT_TRUE(waitFor([&] { return server->unansweredCalls() == 2; }));
    ASSERT_TRUE(waitFor([&] { return warnings.messages().size() >= 2; }));
    EXPECT_TRUE(warnings.joined().contains(u"A headline's notification was not shown"_s));
}
