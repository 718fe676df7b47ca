#include "cli/refreshonce.h"
#include "common/temphome.h"
#include "feedsimserver.h"
#include "model/manager/datasourcemanager.h"
#include "platform/clock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDateTime>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// One refresh of every feed, as `--refresh-once` runs it, on feeds from a loopback server.
class RefreshOnceTest : public testing::Test {
protected:
    RefreshOnceTest()
    {
        server.start();
        const QString base = QString::fromStdString(server.baseUrl());
        // Entries of the last hour, well within the age limit.
        const QString origin = u"?origin=%1"_s.arg(QDateTime::currentSecsSinceEpoch() - 3600);
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, 30},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::reachabilityHost, u"127.0.0.1"_s}});
        const auto feed = [&](const QString &uuid, const QString &path) {
            return QVariantMap{
                {u"uuid"_s, uuid}, {u"url"_s, QString(base + path + origin)}, {u"enabled"_s, QVariant(true)}};
        };
        defaults.setObject(
            QVariantList{feed(u"NEWS"_s, u"/rss/news.xml"_s), feed(u"SPORT"_s, u"/rss/sport.xml"_s)},
            SettingsKey::feeds);
    }
    ~RefreshOnceTest() override { server.stop(); }

    TempHome home;
    FeedSimServer server{FeedSimOptions{.entries = 3}};
    UserDefaults defaults{home.configHome() + u"/vantrel"_s};
    Reachability reachability{defaults};
};

TEST_F(RefreshOnceTest, theFirstRoundStartsAtOnceAndNotAtTheRoundTimersFirstBeat)
{
    DatasourceManager::Options options;
    options.refreshOnce = true;
    options.refreshIntervalMs = 3600 * 1000;
    DatasourceManager manager(defaults, Clock::system(), reachability, options);
    manager.setGatherNewItems(false);
    RefreshOnce refresh(manager);
    // Only a refresh that waited for the timer would still be running then.
    QTimer::singleShot(60'000, &refresh, &RefreshOnce::interrupt);

    ASSERT_EQ(manager.datasources().size(), 2);
    EXPECT_TRUE(refresh.waitForAllFeeds());
    EXPECT_TRUE(refresh.reportFailures());
    manager.mergeSync();
    EXPECT_EQ(manager.items().size(), 6);
    manager.close();
}

} // namespace
