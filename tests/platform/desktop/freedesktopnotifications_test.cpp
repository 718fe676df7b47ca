#include "platform/desktop/freedesktopnotifications.h"

#include "common/fakenotificationserver.h"
#include "common/privatebus.h"
#include "common/qtprinters.h"
#include "common/waitfor.h"
#include "platform/capturedwarnings.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class FreedesktopNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(bus.address().isEmpty()) << bus.error().toStdString(); }

    // A client made after the server has started, with a short time-out for servers that hang.
    std::unique_ptr<FreedesktopNotifications> client(int timeoutMs = 300)
    {
        return std::make_unique<FreedesktopNotifications>(bus.connect(u"client"_s), timeoutMs);
    }

    PrivateBus bus;
};

} // namespace

TEST_F(FreedesktopNotificationsTest, deliversPlainTextAndFollowsTheNotification)
{
    FakeNotificationServer server(bus, {u"body"_s, u"actions"_s});
    ASSERT_TRUE(server.start());
    auto notifications = client();
    EXPECT_TRUE(notifications->isServerAvailable());
    ASSERT_TRUE(waitFor([&] { return !notifications->capabilities().isEmpty(); }));
    EXPECT_TRUE(notifications->supportsActions());

    QSignalSpy delivered(notifications.get(), &NotificationBus::delivered);
    QSignalSpy actions(notifications.get(), &NotificationBus::actionInvoked);
    QSignalSpy closed(notifications.get(), &NotificationBus::closed);
    const auto ticket = notifications->show(
        {u"Feed <One>"_s, u"Storm & <b>rain</b>"_s, {{u"default"_s, u"Open"_s}, {u"star"_s, u"Star"_s}}});
    ASSERT_TRUE(waitFor([&] { return delivered.count() == 1; }));
    EXPECT_EQ(delivered.at(0).at(0).toULongLong(), ticket);

    ASSERT_EQ(server.notifications().size(), 1);
    const FakeNotificationServer::Notification &shown = server.notifications().at(0);
    EXPECT_EQ(shown.appName, u"Vantrel"_s);
    EXPECT_EQ(shown.summary, u"Feed &lt;One&gt;"_s);
    EXPECT_EQ(shown.body, u"Storm &amp; &lt;b&gt;rain&lt;/b&gt;"_s);
    EXPECT_EQ(shown.actions, (QStringList{u"default"_s, u"Open"_s, u"star"_s, u"Star"_s}));
    EXPECT_EQ(shown.hints.value(u"desktop-entry"_s).toString(), u"org.vantrel.Vantrel"_s);

    server.invokeAction(shown.id, u"star"_s);
    ASSERT_TRUE(waitFor([&] { return actions.count() == 1; }));
    EXPECT_EQ(actions.at(0).at(0).toULongLong(), ticket);
    EXPECT_EQ(actions.at(0).at(1).toString(), u"star"_s);

    server.close(shown.id);
    ASSERT_TRUE(waitFor([&] { return closed.count() == 1; }));
    EXPECT_EQ(closed.at(0).at(0).toULongLong(), ticket);
    // A closed notification is no longer followed.
    server.invokeAction(shown.id, u"default"_s);
    server.close(shown.id + 100);
    notifications->show({u"Next"_s, u"Body"_s, {}});
    ASSERT_TRUE(waitFor([&] { return delivered.count() == 2; }));
    EXPECT_EQ(actions.count(), 1);
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(FreedesktopNotificationsTest, aMissingServerFailsAtOnceAndIsReported)
{
    CapturedWarnings warnings;
    auto notifications = client(25000);
    EXPECT_FALSE(notifications->isServerAvailable());
    QSignalSpy failed(notifications.get(), &NotificationBus::failed);
    notifications->show({u"Feed"_s, u"Headline"_s, {}});
    // The bus answers for the missing server long before the call's time-out.
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }, 5000));
    EXPECT_FALSE(failed.at(0).at(1).toString().isEmpty());
}

TEST_F(FreedesktopNotificationsTest, followsAServerThatComesAndGoes)
{
    auto notifications = client();
    EXPECT_FALSE(notifications->isServerAvailable());
    QSignalSpy closed(notifications.get(), &NotificationBus::closed);
    QSignalSpy delivered(notifications.get(), &NotificationBus::delivered);
    {
        FakeNotificationServer server(bus, {u"actions"_s});
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(waitFor([&] { return notifications->supportsActions(); }));
        EXPECT_TRUE(notifications->isServerAvailable());
        notifications->show({u"Feed"_s, u"Headline"_s, {}});
        ASSERT_TRUE(waitFor([&] { return delivered.count() == 1; }));
    }
    // Its notifications went with it.
    ASSERT_TRUE(waitFor([&] { return !notifications->isServerAvailable(); }));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(notifications->supportsActions());
}

TEST_F(FreedesktopNotificationsTest, followsOnlyTheNewestNotifications)
{
    FakeNotificationServer server(bus, {});
    ASSERT_TRUE(server.start());
    auto notifications = client(25000);
    QSignalSpy delivered(notifications.get(), &NotificationBus::delivered);
    QSignalSpy closed(notifications.get(), &NotificationBus::closed);
    const int count = int(FreedesktopNotifications::maximumFollowed) + 3;
    for (int i = 0; i < count; ++i)
        notifications->show({u"Feed"_s, QString::number(i), {}});
    ASSERT_TRUE(waitFor([&] { return delivered.count() == count; }, 30000));
    ASSERT_EQ(closed.count(), 3);
    EXPECT_EQ(closed.at(0).at(0), delivered.at(0).at(0));
}

TEST(FreedesktopNotificationsWithoutBusTest, saysSoAndFailsEveryNotification)
{
    CapturedWarnings warnings;
    FreedesktopNotifications notifications(QDBusConnection::sessionBus());
    EXPECT_FALSE(notifications.isServerAvailable());
    QSignalSpy failed(&notifications, &NotificationBus::failed);
    notifications.show({u"Feed"_s, u"Headline"_s, {}});
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }));
    EXPECT_TRUE(warnings.joined().contains(u"no session bus"_s));
}
