#include "cli/exitcode.h"
#include "common/filecontents.h"
#include "common/qtprinters.h"
#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/source/itemfile.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "vantrelrun.h"

#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Runs whose files cannot grow past a size limit, as on a nearly full disk: what could not be
// written whole is reported and the old file stays.
class CliFullDiskTest : public testing::Test {
protected:
    // Big enough for the settings and a feed of three entries, too small for one of 400.
    static constexpr qint64 limit = 64 * 1024;

    CliFullDiskTest() { server.start(); }
    ~CliFullDiskTest() override { server.stop(); }

    QString feedUrl(int entries) const
    {
        return QString::fromStdString(server.baseUrl()) + u"/rss/news.xml?entries=%1"_s.arg(entries);
    }

    // A profile whose feed has saved three entries and now publishes 400.
    void subscribeToAGrowingFeed()
    {
        QVariantMap feed = VantrelRun::feed(feedUrl(3));
        uuid = feed.value(u"uuid"_s).toString();
        VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList{feed}}});
        ASSERT_EQ(VantrelRun::run({u"--refresh-once"_s}).exitCode, ExitCode::success);
        savedEntries = contentsOf(itemFile());
        ASSERT_EQ(ItemFile(uuid).load().size(), 3);
        feed.insert(u"url"_s, feedUrl(400));
        VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList{feed}}});
    }

    QString itemFile() const { return ItemFile(uuid).path(); }

    static void expectTheEntriesReportedUnsaved(const QString &err)
    {
        EXPECT_TRUE(err.contains(u"Feedsim “news”"_s)) << err.toStdString();
        EXPECT_TRUE(err.contains(u"The entries cannot be saved: "_s)) << err.toStdString();
        EXPECT_TRUE(err.contains(u"cannot be written: File too large"_s)) << err.toStdString();
    }

    TempHome home;
    FeedSimServer server;
    QString uuid;
    QByteArray savedEntries;
};

TEST_F(CliFullDiskTest, refreshOnceFailsAndKeepsTheOldItemFileWhenTheNewOneCannotBeWritten)
{
    subscribeToAGrowingFeed();

    const VantrelRun::Result refreshed = VantrelRun::run({u"--refresh-once"_s}, {.fileSizeLimit = limit});
    EXPECT_EQ(refreshed.exitCode, ExitCode::failure);
    EXPECT_EQ(refreshed.outLines().size(), 400) << "the headlines are still printed";
    expectTheEntriesReportedUnsaved(refreshed.err);
    EXPECT_EQ(contentsOf(itemFile()), savedEntries);

    EXPECT_EQ(VantrelRun::run({u"--refresh-once"_s}).exitCode, ExitCode::success);
    EXPECT_EQ(ItemFile(uuid).load().size(), 400);
}

TEST_F(CliFullDiskTest, theHeadlessTickerReportsUnsavedEntriesWhileRunningAndFailsAtQuitKeepingTheOldFile)
{
    subscribeToAGrowingFeed();

    VantrelRun ticker({u"--headless"_s}, {.fileSizeLimit = limit});
    // The save after the first refresh fails and says so at once.
    ASSERT_TRUE(waitFor([&] { return ticker.errorOutput().contains(u"cannot be saved"_s); }, 30000))
        << ticker.errorOutput().toStdString();
    ::kill(pid_t(ticker.process().processId()), SIGINT);
    ASSERT_TRUE(ticker.process().waitForFinished(20000));
    EXPECT_EQ(ticker.process().exitCode(), ExitCode::failure);
    const QString err = ticker.errorOutput();
    expectTheEntriesReportedUnsaved(err.mid(err.indexOf(u"Saving and quitting."_s)));
    EXPECT_EQ(contentsOf(itemFile()), savedEntries);
}

TEST_F(CliFullDiskTest, addFeedFailsWithoutClaimingTheSubscriptionAndLeavesTheSettingsAsTheyWere)
{
    VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList()}});
    const QString settingsFile = Paths::configFolder() + u"/settings.plist"_s;
    const QByteArray settings = contentsOf(settingsFile);

    // The new settings are larger than the old: they cannot be written.
    const VantrelRun::Result added =
        VantrelRun::run({u"--add-feed"_s, feedUrl(3)}, {.fileSizeLimit = settings.size()});
    EXPECT_EQ(added.exitCode, ExitCode::failure);
    EXPECT_FALSE(added.out.contains(u"Subscribed"_s)) << added.out.toStdString();
    EXPECT_TRUE(added.err.contains(
        u"Cannot save the settings: %1 cannot be written: File too large"_s.arg(settingsFile)))
        << added.err.toStdString();
    EXPECT_EQ(added.err.count(u"Cannot save the settings"_s), 1) << added.err.toStdString();
    EXPECT_EQ(contentsOf(settingsFile), settings);
    EXPECT_TRUE(VantrelRun::run({u"--list-feeds"_s}).outLines().isEmpty());
}

TEST_F(CliFullDiskTest, anOpmlExportThatCannotBeWrittenWholeFailsAndKeepsTheEarlierExport)
{
    // The names appear once in the settings and twice in the export: the settings fit under the
    // limit, the export does not.
    auto feedsNamed = [](QChar letter) {
        QVariantList feeds;
        for (int feed = 0; feed < 3; ++feed)
            feeds.append(VantrelRun::feed(u"http://127.0.0.1:9/%1.xml"_s.arg(feed), QString(800, letter)));
        return feeds;
    };
    VantrelRun::writeSettings({{SettingsKey::feeds, feedsNamed(u'a')}});
    const QString exported = home.path() + u"/subscriptions.opml"_s;
    ASSERT_EQ(VantrelRun::run({u"--export-opml"_s, exported}).exitCode, ExitCode::success);
    const QByteArray earlier = contentsOf(exported);
    VantrelRun::writeSettings({{SettingsKey::feeds, feedsNamed(u'b')}});

    const VantrelRun::Result result =
        VantrelRun::run({u"--export-opml"_s, exported}, {.fileSizeLimit = earlier.size() * 3 / 4});
    EXPECT_EQ(result.exitCode, ExitCode::failure);
    EXPECT_EQ(result.err, u"Cannot write %1: File too large.\n"_s.arg(exported));
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    EXPECT_EQ(contentsOf(exported), earlier);
}
