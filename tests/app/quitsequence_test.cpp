#include "app/quitsequence.h"
#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/itemfile.h"
#include "model/source/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

// A running program's model: feeds on the loopback feed server, one of which never finishes
// downloading.
class QuitSequenceTest : public testing::Test {
protected:
    QuitSequenceTest() : defaults(home.configHome() + u"/vantrel"_s), reachability(defaults)
    {
        server.start();
        defaults.registerDefaults({{SettingsKey::refreshRate, 2},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::ageLimit, 7},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::reachabilityHost, u"127.0.0.1"_s}});
        defaults.setObject(
            QVariantList{feed(u"NEWS"_s, u"/rss/news.xml"_s), feed(u"DRIP"_s, u"/bad/drip?interval=2000"_s)},
            SettingsKey::feeds);
        DatasourceManager::Options options;
        options.startTimers = false;
        manager.emplace(defaults, clock, reachability, options);
        RSSDatasource::LoadOptions patient; // only a cancel ends the drip within the test
        patient.feed.idleTimeout = std::chrono::minutes(1);
        patient.feed.deadline = std::chrono::minutes(1);
        for (const auto &source : manager->datasources())
            std::static_pointer_cast<RSSDatasource>(source)->setLoadOptions(patient);
    }

    ~QuitSequenceTest() override
    {
        manager.reset();
        server.stop();
    }

    QVariantMap feed(const QString &uuid, const QString &path) const
    {
        return {{u"uuid"_s, uuid},
                {u"name"_s, uuid},
                {u"url"_s, QString(QString::fromStdString(server.baseUrl()) + path)}};
    }

    // Starts the refreshes and waits until the news feed has its entries and the drip is under way.
    void refreshUntilOneFeedIsInAndOneDownloads()
    {
        manager->refreshRound();
        ASSERT_TRUE(waitFor([&] {
            return manager->datasources().at(0)->items().size() == 20 && server.hits("/bad/drip") == 1;
        }));
    }

    std::optional<QuitSequence::Outcome> runToEnd(QuitSequence &quit)
    {
        std::optional<QuitSequence::Outcome> outcome;
        QObject::connect(&quit, &QuitSequence::finished, [&](QuitSequence::Outcome o) { outcome = o; });
        quit.begin();
        EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }, 20000));
        return outcome;
    }

    TempHome home;
    FeedSimServer server{FeedSimOptions{.entries = 20}};
    UserDefaults defaults;
    ManualClock clock{QDateTime::currentDateTimeUtc()};
    Reachability reachability;
    std::optional<DatasourceManager> manager;
};

TEST_F(QuitSequenceTest, windowsCloseAtOnceDownloadsAreCancelledAndEveryFeedIsSaved)
{
    refreshUntilOneFeedIsInAndOneDownloads();
    QWidget window;
    window.show();
    QuitSequence quit(*manager, defaults);
    std::optional<QuitSequence::Outcome> outcome;
    QObject::connect(&quit, &QuitSequence::finished, [&](QuitSequence::Outcome o) { outcome = o; });
    quit.begin();
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(waitFor([&] { return outcome.has_value(); }, 20000));

    EXPECT_EQ(*outcome, QuitSequence::Outcome::Saved);
    EXPECT_EQ(ItemFile(u"NEWS"_s).load().size(), 20);
    EXPECT_EQ(manager->datasources().at(1)->errorString(), u"Cancelled"_s);
    EXPECT_TRUE(QFile::exists(defaults.filePath()));
}

TEST_F(QuitSequenceTest, aSecondRequestToQuitJoinsTheFirst)
{
    QuitSequence quit(*manager, defaults);
    int finishedCount = 0;
    QObject::connect(&quit, &QuitSequence::finished, [&] { ++finishedCount; });
    quit.begin();
    quit.begin();
    ASSERT_TRUE(waitFor([&] { return finishedCount > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(finishedCount, 1);
}

TEST_F(QuitSequenceTest, aSaveThatOutlivesTheTimeLimitEndsTheProgramWithoutIt)
{
    refreshUntilOneFeedIsInAndOneDownloads();
    std::atomic<bool> deadlinePassed = false;
    QuitSequence quit(*manager, defaults, std::chrono::milliseconds(50), [&] { deadlinePassed = true; });
    std::optional<QuitSequence::Outcome> outcome;
    QObject::connect(&quit, &QuitSequence::finished, [&](QuitSequence::Outcome o) { outcome = o; });
    {
        // Someone else holds the source list: the save cannot start.
        const std::lock_guard busy(manager->sourcesLock());
        quit.begin();
        ASSERT_TRUE(waitFor([&] { return deadlinePassed.load(); }));
        EXPECT_FALSE(outcome.has_value());
    }
    ASSERT_TRUE(waitFor([&] { return outcome.has_value(); }));
    EXPECT_EQ(ItemFile(u"NEWS"_s).load().size(), 20);
}

TEST_F(QuitSequenceTest, theTimeLimitHoldsWhileTheMainThreadIsBlocked)
{
    std::atomic<bool> deadlinePassed = false;
    QuitSequence quit(*manager, defaults, std::chrono::milliseconds(50), [&] { deadlinePassed = true; });
    quit.begin();
    // The main thread does not return to its event loop, as when closing waits on a stuck download.
    const QDeadlineTimer patience(10000);
    while (!deadlinePassed && !patience.hasExpired())
        QThread::msleep(5);
    EXPECT_TRUE(deadlinePassed);
}

TEST_F(QuitSequenceTest, aFileThatCannotBeWrittenMakesTheQuitAFailure)
{
    refreshUntilOneFeedIsInAndOneDownloads();
    const QString folder = home.cacheHome() + u"/org.vantrel.Vantrel"_s;
    QDir(folder).removeRecursively();
    QFile blocker(folder); // a file where the folder must be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QuitSequence quit(*manager, defaults);
    EXPECT_EQ(runToEnd(quit), QuitSequence::Outcome::Failed);
}

// The toolkit may end the process while the save runs (the display went away at logout): the
// exit waits for the save.
TEST_F(QuitSequenceTest, anExitFromElsewhereWaitsForTheSave)
{
    refreshUntilOneFeedIsInAndOneDownloads();
    std::atomic<bool> holding = false;
    std::thread busy([&] {
        const std::lock_guard hold(manager->sourcesLock());
        holding = true;
        QThread::msleep(300); // the save waits for the source list meanwhile
    });
    ASSERT_TRUE(waitFor([&] { return holding.load(); }));
    QuitSequence quit(*manager, defaults);
    quit.begin();
    QCoreApplication::processEvents(); // the save starts on its thread
    QuitSequence::waitForSaveAtExit();
    EXPECT_EQ(ItemFile(u"NEWS"_s).load().size(), 20);
    busy.join();
}
