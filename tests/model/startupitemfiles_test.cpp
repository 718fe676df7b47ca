#include "common/filecontents.h"
#include "common/qtprinters.h"
#include "common/temphome.h"
#include "model/entry/itemkeys.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/itemfile.h"
#include "platform/capturedwarnings.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 day = 24 * 3600 * 1000;
constexpr qint64 largestItemFile = qint64(256) << 20;

QVariantMap feed(const QString &uuid, const QString &name)
{
    return {{u"uuid"_s, uuid}, {u"url"_s, u"http://127.0.0.1:9/%1.xml"_s.arg(name)}, {u"name"_s, name}};
}

} // namespace

// Starts of a manager on the settings file of a temporary home, as the program makes them, and
// what each start does with the item files.
class StartUpItemFilesTest : public testing::Test {
protected:
    StartUpItemFilesTest() : clock(QDateTime::fromSecsSinceEpoch(1780000000, Qt::UTC)) {}
    ~StartUpItemFilesTest() override { stop(); }

    QString settingsFolder() const { return home.configHome() + u"/vantrel"_s; }
    QString settingsPath() const { return settingsFolder() + u"/settings.plist"_s; }
    static QString stalePath(const QString &uuid)
    {
        return Paths::cachesFolder() + u"/stale/"_s + uuid + u".db"_s;
    }

    void writeFeeds(const QVariantList &feeds) const
    {
        UserDefaults store(settingsFolder());
        store.setObject(feeds, SettingsKey::feeds);
        ASSERT_TRUE(store.synchronize());
    }

    static void storeEntries(const QString &uuid, const QStringList &titles)
    {
        QList<DataItemPtr> items;
        for (const QString &title : titles) {
            auto item = std::make_shared<DataItem>();
            item->setObject(title, ItemKey::title);
            items.append(item);
        }
        ASSERT_TRUE(ItemFile(uuid).save(items));
    }

    // Opens the settings file and makes a manager on it.
    DatasourceManager &start()
    {
        stop();
        defaults = std::make_unique<UserDefaults>(settingsFolder());
        reachability = std::make_unique<Reachability>(*defaults);
        DatasourceManager::Options options;
        options.startTimers = false;
        options.saveDelayMs = 0;
        manager = std::make_unique<DatasourceManager>(*defaults, clock, *reachability, options);
        return *manager;
    }

    void stop()
    {
        manager.reset();
        reachability.reset();
        defaults.reset();
    }

    QStringList titlesOf(const QString &uuid) const
    {
        QStringList titles;
        for (const auto &source : manager->datasources())
            if (source->uuid() == uuid)
                for (const DataItemPtr &item : source->items())
                    titles.append(item->title());
        return titles;
    }

    TempHome home;
    ManualClock clock;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<Reachability> reachability;
    std::unique_ptr<DatasourceManager> manager;
};

TEST_F(StartUpItemFilesTest, aFeedMissingFromSoundSettingsWaitsThirtyDaysInTheStaleFolderThenGoes)
{
    storeEntries(u"KEPT"_s, {u"kept"_s});
    storeEntries(u"GONE"_s, {u"gone"_s});
    writeFeeds({feed(u"KEPT"_s, u"kept"_s)});

    start();
    EXPECT_EQ(titlesOf(u"KEPT"_s), QStringList{u"kept"_s});
    EXPECT_TRUE(ItemFile(u"KEPT"_s).exists());
    EXPECT_FALSE(ItemFile(u"GONE"_s).exists());
    ASSERT_TRUE(QFile::exists(stalePath(u"GONE"_s)));

    clock.advance(29 * day);
    start();
    EXPECT_TRUE(QFile::exists(stalePath(u"GONE"_s))) << "29 days after it was set aside";
    clock.advance(2 * day);
    start();
    EXPECT_FALSE(QFile::exists(stalePath(u"GONE"_s))) << "31 days after it was set aside";
    EXPECT_EQ(titlesOf(u"KEPT"_s), QStringList{u"kept"_s});
}

// A profile as the program wrote it in December 2026, kept as bytes: what users have on disk must
// stay readable whatever the formats become.
TEST_F(StartUpItemFilesTest, aProfileWrittenByAnEarlierVersionIsReadWhole)
{
    const QString uuid = u"5B0C8F3E-1D2A-4B6C-9E7F-0A1B2C3D4E5F"_s;
    const QString stored = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + u"/profiles/2026-12/"_s;
    ASSERT_TRUE(QDir().mkpath(settingsFolder()) && QDir().mkpath(Paths::cachesFolder()));
    ASSERT_TRUE(QFile::copy(stored + u"settings.plist"_s, settingsPath()));
    ASSERT_TRUE(QFile::copy(stored + uuid + u".db"_s, Paths::cachesFolder() + u"/"_s + uuid + u".db"_s));

    start();
    ASSERT_EQ(manager->datasources().size(), 1);
    const std::shared_ptr<Datasource> source = manager->datasources().at(0);
    EXPECT_EQ(source->customName(), u"Harbour news"_s);
    EXPECT_EQ(source->name(), u"Feedsim \u201charbour\u201d"_s);
    EXPECT_EQ(source->getUserDefaultsForKey(SettingsKey::limit, true).toInt(), 30);
    QStringList titles;
    for (const QString &title : titlesOf(uuid))
        titles.append(title.trimmed()); // stored with the feed's white space, as parsed
    EXPECT_EQ(titles, (QStringList{u"Orchard unveils storm \u2014 harbour #4"_s,
                                   u"Summit closes library \u2014 harbour #3"_s,
                                   u"Airport welcomes orchard \u2014 harbour #2"_s,
                                   u"Theatre reopens theatre \u2014 harbour #1"_s}));
    const QList<DataItemPtr> items = source->items();
    EXPECT_TRUE(items.at(0)->mark()) << "the keyword storm";
    EXPECT_FALSE(items.at(1)->mark());
    EXPECT_TRUE(items.at(0)->link().endsWith(u"/articles/harbour/4"_s)) << items.at(0)->link().toStdString();
    EXPECT_TRUE(items.at(0)->description().contains(u"Story 4 of harbour"_s));
    EXPECT_TRUE(ItemFile(uuid).exists());
}

TEST_F(StartUpItemFilesTest, aFeedPutBackIntoTheSettingsFindsItsEntriesAgain)
{
    storeEntries(u"KEPT"_s, {u"kept"_s});
    storeEntries(u"EDITED"_s, {u"first"_s, u"second"_s});
    // An edit of the feed list that lost a feed, then its correction.
    writeFeeds({feed(u"KEPT"_s, u"kept"_s)});
    start();
    ASSERT_TRUE(QFile::exists(stalePath(u"EDITED"_s)));
    stop();

    writeFeeds({feed(u"KEPT"_s, u"kept"_s), feed(u"EDITED"_s, u"edited"_s)});
    start();
    EXPECT_EQ(titlesOf(u"EDITED"_s), (QStringList{u"first"_s, u"second"_s}));
    EXPECT_TRUE(ItemFile(u"EDITED"_s).exists());
    EXPECT_FALSE(QFile::exists(stalePath(u"EDITED"_s)));
}

struct UnsoundSettings {
    const char *name;
    std::function<void(const QString &path, const QByteArray &sound)> spoil;
};

void PrintTo(const UnsoundSettings &settings, std::ostream *out)
{
    *out << settings.name;
}

class StartUpAfterUnsoundSettingsTest : public StartUpItemFilesTest,
                                        public testing::WithParamInterface<UnsoundSettings> {};

TEST_P(StartUpAfterUnsoundSettingsTest, keepsEveryItemFileAndRestoringTheSettingsBringsTheEntriesBack)
{
    storeEntries(u"ONE"_s, {u"one"_s});
    storeEntries(u"TWO"_s, {u"two"_s, u"three"_s});
    writeFeeds({feed(u"ONE"_s, u"one"_s), feed(u"TWO"_s, u"two"_s)});
    const QByteArray sound = contentsOf(settingsPath());
    const QByteArray two = contentsOf(ItemFile(u"TWO"_s).path());
    GetParam().spoil(settingsPath(), sound);

    start();
    EXPECT_TRUE(manager->datasources().isEmpty());
    EXPECT_TRUE(ItemFile(u"ONE"_s).exists());
    EXPECT_EQ(contentsOf(ItemFile(u"TWO"_s).path()), two);
    EXPECT_FALSE(QFile::exists(stalePath(u"TWO"_s)));
    stop();

    QDir().rmdir(settingsPath());
    writeFile(settingsPath(), sound);
    start();
    EXPECT_EQ(titlesOf(u"ONE"_s), QStringList{u"one"_s});
    EXPECT_EQ(titlesOf(u"TWO"_s), (QStringList{u"two"_s, u"three"_s}));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartUpAfterUnsoundSettingsTest,
    testing::Values(
        UnsoundSettings{"missing", [](const QString &path, const QByteArray &) { QFile::remove(path); }},
        UnsoundSettings{"empty", [](const QString &path, const QByteArray &) { writeFile(path, {}); }},
        UnsoundSettings{"truncated",
                        [](const QString &path, const QByteArray &sound) {
                            writeFile(path, sound.left(sound.size() / 2));
                        }},
        UnsoundSettings{"randomBytes",
                        [](const QString &path, const QByteArray &) {
                            QByteArray noise(512, '\0');
                            for (qsizetype i = 0; i < noise.size(); ++i)
                                noise[i] = char((i * 7919 + 13) % 251);
                            writeFile(path, noise);
                        }},
        UnsoundSettings{"aFolder",
                        [](const QString &path, const QByteArray &) {
                            QFile::remove(path);
                            QDir().mkpath(path);
                        }}),
    [](const auto &paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(StartUpItemFilesTest, feedsSharingAUuidOrHavingNoneGetTheirOwnAndDeletingOneKeepsTheOthersFile)
{
    storeEntries(u"SAME"_s, {u"shared"_s});
    QVariantMap withoutUuid = feed(QString(), u"third"_s);
    withoutUuid.remove(u"uuid"_s);
    writeFeeds({feed(u"SAME"_s, u"first"_s), feed(u"SAME"_s, u"second"_s), withoutUuid,
                feed(QString(), u"fourth"_s)});

    CapturedWarnings warnings;
    start();
    QStringList uuids;
    for (const auto &source : manager->datasources())
        uuids.append(source->uuid());
    ASSERT_EQ(uuids.size(), 4);
    EXPECT_EQ(QSet<QString>(uuids.cbegin(), uuids.cend()).size(), 4);
    EXPECT_FALSE(uuids.contains(QString()));
    EXPECT_EQ(uuids[0], u"SAME"_s);
    EXPECT_EQ(titlesOf(u"SAME"_s), QStringList{u"shared"_s});
    EXPECT_TRUE(titlesOf(uuids[1]).isEmpty());
    EXPECT_TRUE(warnings.joined().contains(uuids[1])) << warnings.joined().toStdString();
    const QString second = uuids[1];
    ASSERT_TRUE(manager->syncAll());
    stop();

    start();
    ASSERT_EQ(manager->datasources().size(), 4);
    EXPECT_EQ(manager->datasources()[1]->uuid(), second) << "the fresh uuid was written back";
    manager->deleteDatasource(manager->datasources()[1].get());
    stop();

    start();
    ASSERT_EQ(manager->datasources().size(), 3);
    EXPECT_EQ(titlesOf(u"SAME"_s), QStringList{u"shared"_s});
    EXPECT_TRUE(ItemFile(u"SAME"_s).exists());
}

TEST_F(StartUpItemFilesTest, anItemFileLargerThanTheBoundIsSetAsideWithoutBeingRead)
{
    const ItemFile file(u"HUGE"_s);
    {
        QFile huge(file.path());
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        huge.write("VantrelItems\1");
        // Sparse: the size costs no disk.
        ASSERT_TRUE(huge.resize(largestItemFile + 1));
    }
    writeFeeds({feed(u"HUGE"_s, u"huge"_s)});

    CapturedWarnings warnings;
    start();
    EXPECT_TRUE(titlesOf(u"HUGE"_s).isEmpty());
    EXPECT_FALSE(file.exists());
    const QStringList aside = QDir(Paths::cachesFolder()).entryList({u"HUGE.db.damaged-*"_s});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(QFileInfo(QDir(Paths::cachesFolder()).filePath(aside.first())).size(), largestItemFile + 1);
    EXPECT_TRUE(warnings.joined().contains(u"larger than 256 MiB"_s)) << warnings.joined().toStdString();
}
