#include "app/traybadge.h"
#include "app/widgettickerwindow.h"
#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QImage>
#include <QSystemTrayIcon>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

// A running program with one feed on the loopback server whose entries arrive while the bar is
// hidden or shown.
class TrayBadgeTest : public testing::Test {
protected:
    TrayBadgeTest() : defaults(home.configHome() + u"/vantrel"_s), reachability(defaults)
    {
        server.start();
        defaults.registerDefaults({{SettingsKey::refreshRate, 2},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::ageLimit, 7},
                                   {SettingsKey::receiveTimeStamp, true},
                                   {SettingsKey::keywords, QVariantList{u"storm"_s}},
                                   {SettingsKey::reachabilityHost, u"127.0.0.1"_s}});
        const QString url = QString::fromStdString(server.baseUrl()) + u"/rss/city.xml?entries=4"_s;
        defaults.setObject(QVariantList{QVariantMap{{u"uuid"_s, u"CITY"_s}, {u"url"_s, url}}},
                           SettingsKey::feeds);
        DatasourceManager::Options options;
        options.startTimers = false;
        manager.emplace(defaults, clock, reachability, options);
        trayIcon.setIcon(QIcon(u":/images/vantrel_bw.svg"_s));
    }
    ~TrayBadgeTest() override
    {
        manager.reset();
        server.stop();
    }

    // One refresh of the feed, due once the clock moved on, its arrivals let in as the bar lets
    // them in, and the merge published.
    void refresh()
    {
        clock.advance(3 * 60 * 1000);
        const int before = server.hits("/rss/city.xml");
        manager->refreshRound();
        ASSERT_TRUE(waitFor([&] {
            return server.hits("/rss/city.xml") > before &&
                   !std::static_pointer_cast<RSSDatasource>(manager->datasources().first())->isRunning();
        }));
        ASSERT_TRUE(waitFor([&] {
            while (manager->hasNew())
                manager->removeNew();
            manager->dirtyTimer();
            manager->mergeSync();
            return manager->items().size() == manager->datasources().first()->items().size();
        }));
    }

    TempHome home;
    FeedSimServer server;
    UserDefaults defaults;
    ManualClock clock{QDateTime::currentDateTimeUtc()};
    Reachability reachability;
    std::optional<DatasourceManager> manager;
    QSystemTrayIcon trayIcon;
    QWidget bar;
    WidgetTickerWindow mainWindow{&bar};
};

TEST_F(TrayBadgeTest, countsWhatArrivedWhileTheBarWasHiddenAndListsTheLatestThree)
{
    refresh(); // the first refresh files what is there: nothing arrives
    TrayBadge badge(trayIcon, *manager, mainWindow);
    EXPECT_EQ(badge.unseenCount(), 0);

    server.advance(2);
    refresh();
    badge.refresh();
    EXPECT_EQ(badge.unseenCount(), 2);
    const QStringList lines = badge.toolTip().split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.first(), u"Vantrel"_s);
    // One line per headline, however the feed broke its title.
    EXPECT_EQ(lines[1], QString(manager->items().at(0)->title().simplified() + u" \u2014 "_s +
                                manager->items().at(0)->name()));
    EXPECT_EQ(trayIcon.toolTip(), badge.toolTip());

    bar.show(); // looked at
    badge.refresh();
    EXPECT_EQ(badge.unseenCount(), 0);
    bar.hide();
    server.advance(1);
    refresh();
    badge.refresh();
    EXPECT_EQ(badge.unseenCount(), 1);
}

TEST_F(TrayBadgeTest, theDotShowsAKeywordMatchAmongTheUnseen)
{
    refresh();
    TrayBadge badge(trayIcon, *manager, mainWindow);
    bool matched = false;
    for (int step = 0; step < 12 && !matched; ++step) {
        server.advance(1);
        refresh();
        badge.refresh();
        matched = manager->items().first()->mark();
        EXPECT_EQ(badge.keywordMatched(),
                  std::any_of(manager->items().begin(), manager->items().begin() + badge.unseenCount(),
                              [](const DataItemPtr &item) { return item->mark(); }));
    }
    ASSERT_TRUE(matched) << "the demo feed names a storm within a dozen steps";
    EXPECT_TRUE(badge.keywordMatched());
}

TEST(TrayBadgeIconTest, drawsTheCountAndTheDotOverTheIcon)
{
    QPixmap white(64, 64);
    white.fill(Qt::white);
    const QIcon base(white);
    const QImage plain = TrayBadge::badgedIcon(base, 0, false).pixmap(64, 64).toImage();
    EXPECT_EQ(plain.pixelColor(60, 48), QColor(Qt::white));

    const QImage counted = TrayBadge::badgedIcon(base, 7, false).pixmap(64, 64).toImage();
    EXPECT_EQ(counted.pixelColor(50, 34).red(), 0xd0);        // the badge's red, beside the digit
    EXPECT_EQ(counted.pixelColor(10, 10), QColor(Qt::white)); // the icon itself shows

    const QImage dotted = TrayBadge::badgedIcon(base, 0, true).pixmap(64, 64).toImage();
    const QColor dot = dotted.pixelColor(51, 12);
    EXPECT_GT(dot.red(), 240);
    EXPECT_LT(dot.blue(), 120);
}
