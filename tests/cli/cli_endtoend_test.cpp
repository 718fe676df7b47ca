#include "cli/exitcode.h"
#include "common/qtprinters.h"
#include "common/temphome.h"
#include "common/waitfor.h"
#include "feedsimserver.h"
#include "model/source/itemfile.h"
#include "model/stars/starmanager.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "vantrelrun.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString field(const QString &line, int column)
{
    return line.split(u'\t').value(column);
}

} // namespace

class CliEndToEndTest : public testing::Test {
protected:
    CliEndToEndTest() { server.start(); }
    ~CliEndToEndTest() override { server.stop(); }

    QString feedUrl(const QString &path) const { return QString::fromStdString(server.baseUrl()) + path; }
    QString file(const QString &name) const { return QDir(home.path()).filePath(name); }

    TempHome home;
    FeedSimServer server{FeedSimOptions{.entries = 3}};
};

TEST_F(CliEndToEndTest, subscriptionCommandsChangeTheFeedListAndSayWhatWentWrong)
{
    VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList()}});
    const QString news = feedUrl(u"/rss/news.xml"_s);

    const VantrelRun::Result added = VantrelRun::run({u"--add-feed"_s, news});
    EXPECT_EQ(added.exitCode, ExitCode::success) << added.err.toStdString();
    EXPECT_EQ(added.out, u"Subscribed to Feedsim “news” (%1).\n"_s.arg(news));

    const VantrelRun::Result duplicate = VantrelRun::run({u"--add-feed"_s, u"feed://"_s + news.mid(7)});
    EXPECT_EQ(duplicate.exitCode, ExitCode::failure);
    EXPECT_EQ(duplicate.err, u"Feed already exists.\n"_s);
    EXPECT_EQ(VantrelRun::run({u"--add-feed"_s, feedUrl(u"/rss/sport.xml"_s)}).exitCode, ExitCode::success);

    QStringList listed = VantrelRun::run({u"--list-feeds"_s}).outLines();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0],
              QStringList({u"1"_s, u"enabled"_s, u"3"_s, u"Feedsim “news”"_s, news, u"never updated"_s})
                  .join(u'\t'));
    EXPECT_EQ(field(listed[1], 3), u"Feedsim “sport”"_s);

    EXPECT_EQ(VantrelRun::run({u"--disable-feed"_s, u"2"_s}).exitCode, ExitCode::success);
    EXPECT_EQ(field(VantrelRun::run({u"--list-feeds"_s}).outLines().value(1), 1), u"disabled"_s);

    const VantrelRun::Result deleted = VantrelRun::run({u"--delete-feed"_s, news});
    EXPECT_EQ(deleted.exitCode, ExitCode::success);
    EXPECT_EQ(deleted.out, u"Unsubscribed from Feedsim “news” (%1).\n"_s.arg(news));
    listed = VantrelRun::run({u"--list-feeds"_s}).outLines();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(field(listed[0], 3), u"Feedsim “sport”"_s);

    const VantrelRun::Result missing = VantrelRun::run({u"--delete-feed"_s, u"7"_s});
    EXPECT_EQ(missing.exitCode, ExitCode::failure);
    EXPECT_EQ(missing.err, u"There is no feed number 7; --list-feeds shows the numbers.\n"_s);
    EXPECT_EQ(VantrelRun::run({u"--enable-feed"_s, u"http://elsewhere.example/rss"_s}).exitCode,
              ExitCode::failure);
    EXPECT_EQ(VantrelRun::run({u"--list-feeds"_s, u"--headless"_s}).exitCode, ExitCode::usage);
}

TEST_F(CliEndToEndTest, opmlExportThenImportIntoAnEmptyProfileRecreatesEveryFeedWithItsName)
{
    const QString news = feedUrl(u"/rss/news.xml"_s);
    const QString sport = feedUrl(u"/atom/sport.xml"_s);
    VantrelRun::writeSettings(
        {{SettingsKey::feeds, QVariantList{VantrelRun::feed(news, u"My News"_s), VantrelRun::feed(sport)}}});
    // The refresh teaches the second feed its title, which the export carries as its name.
    ASSERT_EQ(VantrelRun::run({u"--refresh-once"_s}).exitCode, ExitCode::success);
    const QString exported = file(u"subscriptions.xml"_s);
    const VantrelRun::Result exportRun = VantrelRun::run({u"--export-opml"_s, exported});
    ASSERT_EQ(exportRun.exitCode, ExitCode::success) << exportRun.err.toStdString();
    EXPECT_EQ(exportRun.out, u"Exported 2 feed(s) to %1.\n"_s.arg(exported));

    const TempHome otherHome;
    VantrelRun::writeSettings({{SettingsKey::feeds, QVariantList()}});
    const VantrelRun::Result imported = VantrelRun::run({u"--import-opml"_s, exported});
    EXPECT_EQ(imported.exitCode, ExitCode::success) << imported.err.toStdString();
    EXPECT_EQ(
        imported.out,
        u"Imported 2 feed(s) from %1; 0 already subscribed, 0 outline(s) passed over.\n"_s.arg(exported));
    const QStringList listed = VantrelRun::run({u"--list-feeds"_s}).outLines();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(field(listed[0], 3), u"My News"_s);
    EXPECT_EQ(field(listed[0], 4), news);
    EXPECT_EQ(field(listed[1], 3), u"Feedsim “sport”"_s);
    EXPECT_EQ(field(listed[1], 4), sport);

    QFile more(file(u"more.opml"_s));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly));
    more.write(QStringLiteral(R"X(<opml version="2.0"><body>
        <outline text="Sports"><outline text="More">
          <outline type="rss" title="Again" xmlUrl="feed://%1"/>
          <outline type="rss" title="Weather" xmlUrl="%2"/>
        </outline></outline>
        <outline type="atom" title="Not rss" xmlUrl="%3"/>
        <outline type="rss" title="Local" xmlUrl="file:///etc/passwd"/>
        </body></opml>)X")
                   .arg(news.mid(7), feedUrl(u"/rss/weather.xml"_s), feedUrl(u"/rss/other.xml"_s))
                   .toUtf8());
    more.close();
    const VantrelRun::Result merged = VantrelRun::run({u"--import-opml"_s, more.fileName()});
    EXPECT_EQ(merged.out,
              u"Imported 1 feed(s) from %1; 1 already subscribed, 2 outline(s) passed over.\n"_s.arg(
                  more.fileName()));
    EXPECT_EQ(field(VantrelRun::run({u"--list-feeds"_s}).outLines().value(2), 3), u"Weather"_s);
}

TEST_F(CliEndToEndTest, aMalformedOpmlFileGivesAClearErrorAndAddsNothing)
{
    VantrelRun::writeSettings(
        {{SettingsKey::feeds, QVariantList{VantrelRun::feed(feedUrl(u"/rss/news.xml"_s))}}});
    QFile broken(file(u"broken.opml"_s));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<opml><body><outline type=\"rss\" xmlUrl=\"http://a.example/rss\"></body>");
    broken.close();

    const VantrelRun::Result result = VantrelRun::run({u"--import-opml"_s, broken.fileName()});
    EXPECT_EQ(result.exitCode, ExitCode::failure);
    EXPECT_TRUE(result.err.startsWith(u"The file is not a readable XML document (line 1: "_s))
        << result.err.toStdString();
    EXPECT_EQ(VantrelRun::run({u"--list-feeds"_s}).outLines().size(), 1);

    const VantrelRun::Result absent = VantrelRun::run({u"--import-opml"_s, file(u"absent.opml"_s)});
    EXPECT_EQ(absent.exitCode, ExitCode::failure);
    EXPECT_TRUE(absent.err.startsWith(u"Cannot open "_s)) << absent.err.toStdString();
}

TEST_F(CliEndToEndTest, refreshOncePrintsTheMergedListAndFailsWhenAFeedCannotBeRead)
{
    const QString broken = feedUrl(u"/bad/status/500"_s);
    // The sport feed's entries each come half a minute after the news feed's.
    const qint64 origin = QDateTime::currentSecsSinceEpoch() / 60 * 60 - 3600;
    const QString news = feedUrl(u"/rss/news.xml?origin=%1"_s.arg(origin));
    const QString sport = feedUrl(u"/rss/sport.xml?origin=%1"_s.arg(origin + 30));
    VantrelRun::writeSettings(
        {{SettingsKey::feeds, QVariantList{VantrelRun::feed(news), VantrelRun::feed(sport),
                                           VantrelRun::feed(broken, u"Broken"_s)}}});
    const VantrelRun::Result refreshed = VantrelRun::run({u"--refresh-once"_s});
    EXPECT_EQ(refreshed.exitCode, ExitCode::failure);
    const QStringList lines = refreshed.outLines();
    ASSERT_EQ(lines.size(), 6) << refreshed.out.toStdString();
    // Newest first.
    EXPECT_TRUE(lines[0].contains(u"[Feedsim “sport”] "_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(u"— sport #3"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[5].endsWith(u"— news #1"_s)) << lines[5].toStdString();
    EXPECT_TRUE(refreshed.err.startsWith(u"Cannot refresh Broken (%1): "_s.arg(broken)))
        << refreshed.err.toStdString();

    const VantrelRun::Result deleted = VantrelRun::run({u"--delete-feed"_s, u"3"_s});
    ASSERT_EQ(deleted.exitCode, ExitCode::success) << deleted.err.toStdString();
    const VantrelRun::Result listed = VantrelRun::run({u"--list-feeds"_s, u"--refresh-once"_s});
    EXPECT_EQ(listed.exitCode, ExitCode::success) << listed.err.toStdString();
    ASSERT_EQ(listed.outLines().size(), 2);
    EXPECT_TRUE(field(listed.outLines()[0], 5).startsWith(u"updated "_s));
}

TEST_F(CliEndToEndTest, aFeedCutToItsFirstEntriesIsReadAndSaysWhatWasLeftOut)
{
    const QVariantList feeds{VantrelRun::feed(feedUrl(u"/rss/big.xml?entries=10005&dates=0&bare=1"_s))};
    VantrelRun::writeSettings({{SettingsKey::feeds, feeds}});

    const VantrelRun::Result refreshed = VantrelRun::run({u"--refresh-once"_s});
    EXPECT_EQ(refreshed.exitCode, ExitCode::success) << refreshed.err.toStdString();
    EXPECT_TRUE(refreshed.err.contains(u"only the first 10,000 were read"_s)) << refreshed.err.toStdString();
    EXPECT_FALSE(refreshed.err.contains(u"Cannot refresh"_s)) << refreshed.err.toStdString();
}

TEST_F(CliEndToEndTest, theHeadlessTickerPrintsHeadlinesKeepsTheProfileAndSavesOnCtrlC)
{
    VantrelRun::writeSettings(
        {{SettingsKey::feeds, QVariantList{VantrelRun::feed(feedUrl(u"/rss/news.xml"_s))}},
         {SettingsKey::keywords, QVariantList{u"news #2"_s}}});
    VantrelRun ticker({u"--headless"_s});
    ASSERT_TRUE(waitFor([&] { return ticker.output().count(u'\n') >= 3; }, 20000))
        << ticker.output().toStdString();
    const QStringList lines = ticker.output().split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines[0].startsWith(u"  "_s) && lines[0].contains(u" [Feedsim “news”] "_s))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(u"— news #1"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(u"* "_s)) << lines[1].toStdString();

    const VantrelRun::Result second = VantrelRun::run({u"--add-feed"_s, feedUrl(u"/rss/sport.xml"_s)});
    EXPECT_EQ(second.exitCode, ExitCode::failure);
    EXPECT_TRUE(second.err.startsWith(u"Vantrel is already running on this profile"_s))
        << second.err.toStdString();
    EXPECT_EQ(VantrelRun::run({u"--list-feeds"_s}).exitCode, ExitCode::success);

    ::kill(pid_t(ticker.process().processId()), SIGINT);
    ASSERT_TRUE(ticker.process().waitForFinished(20000));
    EXPECT_EQ(ticker.process().exitCode(), ExitCode::success);
    EXPECT_EQ(QDir(Paths::cachesFolder()).entryList({u"*.db"_s}).size(), 1);
}

// Quitting does not wait for a server that drips its answer for an hour: the download is
// cancelled, and what the other feed brought is saved.
TEST_F(CliEndToEndTest, terminatingARefreshDuringADrippingDownloadCancelsItAndSaves)
{
    const QVariantList feeds{VantrelRun::feed(feedUrl(u"/rss/news.xml"_s)),
                             VantrelRun::feed(feedUrl(u"/bad/drip?interval=2000"_s), u"Drip"_s)};
    VantrelRun::writeSettings({{SettingsKey::feeds, feeds}});
    auto savedEntries = [&](int feed) {
        return ItemFile(feeds[feed].toMap().value(u"uuid"_s).toString()).load().size();
    };

    VantrelRun refresh({u"--refresh-once"_s});
    ASSERT_TRUE(waitFor([&] { return savedEntries(0) == 3 && server.hits("/bad/drip") == 1; }, 30000));
    ::kill(pid_t(refresh.process().processId()), SIGTERM);
    ASSERT_TRUE(refresh.process().waitForFinished(60000)) << "still downloading";
    EXPECT_EQ(refresh.process().exitCode(), ExitCode::failure);
    EXPECT_EQ(savedEntries(0), 3);
    EXPECT_TRUE(ItemFile(feeds[1].toMap().value(u"uuid"_s).toString()).exists());
}

TEST_F(CliEndToEndTest, afterAKillDuringRefreshesTheNextStartHasTheSettingsStarsAndLastSavedEntries)
{
    const QVariantList feeds{VantrelRun::feed(feedUrl(u"/rss/news.xml"_s)),
                             VantrelRun::feed(feedUrl(u"/rss/sport.xml?entries=4"_s)),
                             VantrelRun::feed(feedUrl(u"/bad/slow?delay=60000"_s), u"Slow"_s)};
    const QVariantList starred{QVariantMap{{u"title"_s, u"Kept"_s}, {u"link"_s, u"http://a.example/1"_s}}};
    VantrelRun::writeSettings({{SettingsKey::feeds, feeds}, {SettingsKey::starred, starred}});
    auto savedEntries = [&](int feed) {
        return ItemFile(feeds[feed].toMap().value(u"uuid"_s).toString()).load().size();
    };

    {
        VantrelRun ticker({u"--headless"_s});
        // Both quick feeds have been saved after their changed refresh; the slow one is still loading.
        ASSERT_TRUE(waitFor([&] { return savedEntries(0) == 3 && savedEntries(1) == 4; }, 30000));
        ASSERT_EQ(server.hits("/bad/slow"), 1);
        ticker.process().kill();
        ASSERT_TRUE(ticker.process().waitForFinished(5000));
    }

    {
        UserDefaults defaults(Paths::configFolder());
        StarManager stars(defaults, nullptr);
        ASSERT_EQ(stars.items().size(), 1);
        EXPECT_EQ(stars.items().first()->title(), u"Kept"_s);
    }
    const VantrelRun::Result listed = VantrelRun::run({u"--list-feeds"_s});
    ASSERT_EQ(listed.outLines().size(), 3) << listed.err.toStdString();
    EXPECT_EQ(field(listed.outLines()[0], 2), u"3"_s);
    EXPECT_EQ(field(listed.outLines()[1], 2), u"4"_s);
    EXPECT_EQ(field(listed.outLines()[2], 3), u"Slow"_s);
    // The killed ticker's profile lock does not keep the next one out, and its files survive a start.
    EXPECT_EQ(VantrelRun::run({u"--disable-feed"_s, u"3"_s}).exitCode, ExitCode::success);
    EXPECT_EQ(savedEntries(0), 3);
    EXPECT_EQ(savedEntries(1), 4);
}
