#include "common/qtprinters.h"
#include "common/temphome.h"
#include "model/entry/itemkeys.h"
#include "model/recordingdelegate.h"
#include "model/source/itemfile.h"
#include "model/source/itemfilereadahead.h"
#include "model/source/notificationcenter.h"
#include "model/testenvironment.h"
#include "model/testsource.h"
#include "platform/archive.h"
#include "platform/manualclock.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

} // namespace

class DatasourceTest : public testing::Test {
protected:
    DatasourceTest() : defaults(home.configHome() + u"/vantrel"_s), clock(start)
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::receiveTimeStamp, true},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::fontColor, Archive::archiveColor(Qt::white)}});
    }

    std::shared_ptr<TestSource> sourceWith(QVariantMap configuration)
    {
        if (!configuration.contains(u"uuid"_s))
            configuration.insert(u"uuid"_s, u"FEED-%1"_s.arg(++feedCount));
        defaults.updateObject(SettingsKey::feeds, [&](const QVariant &current) {
            return QVariant(current.toList() << configuration);
        });
        auto source = TestSource::create(configuration, defaults, clock, environment);
        source->setDelegate(&delegate);
        return source;
    }

    DataItemPtr itemAged(double hours, const QString &title = QString())
    {
        auto item = std::make_shared<DataItem>();
        const QDateTime date = clock.now().addSecs(qint64(-hours * 3600));
        item->setObject(date, ItemKey::parsedDate);
        item->setObject(date, ItemKey::originalDate);
        item->setObject(title.isNull() ? u"entry %1"_s.arg(hours) : title, ItemKey::title);
        return item;
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    TestEnvironment environment;
    RecordingDelegate delegate;
    int feedCount = 0;
};

TEST_F(DatasourceTest, visibleCountIsCutAtTheLimit)
{
    auto limited = sourceWith({{u"limit"_s, 3}});
    auto unlimited = sourceWith({{u"limit"_s, 0}});
    for (int i = 0; i < 10; ++i) {
        limited->addItem(itemAged(i));
        unlimited->addItem(itemAged(i));
    }
    EXPECT_EQ(limited->numberOfItems(), 3);
    EXPECT_EQ(unlimited->numberOfItems(), 10);
}

TEST_F(DatasourceTest, visibleCountStopsAtTheFirstItemTooOld)
{
    // Arrivals go on top, so adding 10, 30, 5 hours old lays the list out as 5, 30, 10.
    auto ordered = sourceWith({{u"ageLimit"_s, 1}});
    ordered->setInsertMode(true);
    defaults.setObject(false, SettingsKey::receiveTimeStamp);
    for (double hours : {10.0, 30.0, 5.0})
        ordered->addItem(itemAged(hours));
    EXPECT_EQ(ordered->numberOfItems(), 1);

    auto nothingVisible = sourceWith({{u"ageLimit"_s, 0}});
    nothingVisible->addItem(itemAged(0));
    EXPECT_EQ(nothingVisible->numberOfItems(), 0);
}

TEST_F(DatasourceTest, disabledSourceShowsNothingAndEnablingReports)
{
    auto source = sourceWith({{u"enabled"_s, false}});
    source->addItem(itemAged(1));
    EXPECT_EQ(source->numberOfItems(), 0);
    const int before = delegate.changes.load();
    source->setEnabled(true);
    EXPECT_GT(delegate.changes.load(), before);
    EXPECT_EQ(source->numberOfItems(), 1);
    EXPECT_TRUE(source->getUserDefaultsForKey(u"enabled"_s, true).toBool());
}

TEST_F(DatasourceTest, arrivalNumbersAreUniqueAcrossThreads)
{
    QList<int> first, second;
    std::thread a([&] {
        for (int i = 0; i < 1000; ++i)
            first.append(environment.pool.nextSequence());
    });
    std::thread b([&] {
        for (int i = 0; i < 1000; ++i)
            second.append(environment.pool.nextSequence());
    });
    a.join();
    b.join();
    QSet<int> all(first.begin(), first.end());
    all.unite(QSet<int>(second.begin(), second.end()));
    EXPECT_EQ(all.size(), 2000);
}

TEST_F(DatasourceTest, vanishedEntriesLeaveAfterSixFetches)
{
    auto source = sourceWith({});
    auto stays = itemAged(1, u"stays"_s);
    auto vanishes = itemAged(2, u"vanishes"_s);
    source->addItem(stays);
    source->addItem(vanishes);
    auto fetch = [&](bool vanishedSeen) {
        source->unmarkItems();
        source->markItem(stays);
        if (vanishedSeen)
            source->markItem(vanishes);
        source->removeUnmarked();
    };
    for (int i = 0; i < 4; ++i)
        fetch(false);
    fetch(true); // seen again: the count restarts
    for (int i = 0; i < 5; ++i)
        fetch(false);
    EXPECT_EQ(source->items().size(), 2);
    fetch(false);
    EXPECT_EQ(source->items(), QList<DataItemPtr>{stays});
}

TEST_F(DatasourceTest, unnumberingKeepsTheThreeLatestNumbers)
{
    auto source = sourceWith({});
    int current = environment.pool.currentSequence();
    while (current < 10)
        current = environment.pool.nextSequence();
    for (int sequence = current - 9; sequence <= current; ++sequence) {
        auto item = itemAged(1);
        item->setObject(sequence, ItemKey::sequence);
        source->addItem(item);
    }
    source->removeSequence();
    QList<int> kept;
    for (const auto &item : source->items())
        if (int sequence = item->objectForKey(ItemKey::sequence).toInt())
            kept.append(sequence);
    EXPECT_EQ(kept, (QList<int>{current, current - 1, current - 2}));
}

TEST_F(DatasourceTest, orderedInsertionInheritsTheNumberOfTheOlderNeighbour)
{
    auto source = sourceWith({});
    QList<DataItemPtr> array;
    auto first = itemAged(1);
    source->addItemToArray(first, array);
    EXPECT_EQ(array.indexOf(first), 0);
    EXPECT_EQ(first->objectForKey(ItemKey::sequence), QVariant(0));

    array.clear();
    auto newer = itemAged(1);
    newer->setObject(9, ItemKey::sequence);
    auto older = itemAged(5);
    older->setObject(4, ItemKey::sequence);
    array = {newer, older};
    auto between = itemAged(3);
    source->addItemToArray(between, array);
    EXPECT_EQ(array, (QList<DataItemPtr>{newer, between, older}));
    EXPECT_EQ(between->objectForKey(ItemKey::sequence).toInt(), 4);
}

TEST_F(DatasourceTest, insertModeAnnouncesAtTheTopWithTheTimeOfReceipt)
{
    auto source = sourceWith({});
    source->addItem(itemAged(1));
    source->setInsertMode(true);
    auto arrival = itemAged(3);
    source->addItem(arrival);
    EXPECT_EQ(source->objectAtIndex(0), arrival);
    EXPECT_EQ(delegate.arrivals(), QList<DataItemPtr>{arrival});
    EXPECT_EQ(arrival->parsedDate(), clock.now());
    EXPECT_EQ(arrival->originalDate(), clock.now().addSecs(-3 * 3600));
}

TEST_F(DatasourceTest, keywordsMatchIgnoringCaseAndDiacritics)
{
    defaults.setObject(QVariantList{u"daily planet"_s}, SettingsKey::keywords);
    auto source = sourceWith({{u"customName"_s, u"THE DAILY PLANET"_s}});
    auto item = itemAged(1, u"Nothing to see"_s);
    source->addItem(item);
    EXPECT_TRUE(item->mark());

    defaults.setObject(QVariantList{u"cafe"_s}, SettingsKey::keywords);
    auto accented = itemAged(1, u"Le Café Crème"_s);
    source->addItem(accented);
    EXPECT_TRUE(accented->mark());
    EXPECT_FALSE(item->mark()); // re-marked when the keywords changed

    defaults.setObject(QVariantList(), SettingsKey::keywords);
    EXPECT_FALSE(accented->mark());
}

// The names are searched once for all items: a renamed source marks its new items by the new names.
TEST_F(DatasourceTest, keywordsInTheSourceNamesFollowARename)
{
    defaults.setObject(QVariantList{u"daily planet"_s}, SettingsKey::keywords);
    auto source = sourceWith({});
    auto before = itemAged(3, u"Nothing to see"_s);
    source->addItem(before);
    EXPECT_FALSE(before->mark());

    source->setCustomName(u"The Daily Pl\u00E2net"_s);
    QCoreApplication::processEvents();
    auto named = itemAged(2, u"Nothing either"_s);
    source->addItem(named);
    EXPECT_TRUE(named->mark());
    EXPECT_TRUE(before->mark());

    source->setCustomName(QString());
    QCoreApplication::processEvents();
    auto unnamed = itemAged(1, u"Still nothing"_s);
    source->addItem(unnamed);
    EXPECT_FALSE(unnamed->mark());
    EXPECT_FALSE(named->mark());
}

TEST_F(DatasourceTest, firstRefreshTimeIsSpreadOverOneInterval)
{
    for (int round = 0; round < 20; ++round) {
        auto source = sourceWith({{u"refreshRate"_s, 2}});
        source->setLastUpdateDate(true);
        const qint64 behind = source->lastUpdatedAt().secsTo(clock.now());
        EXPECT_GE(behind, 0);
        EXPECT_LE(behind, 119);
        source->setLastUpdateDate(true);
        EXPECT_EQ(source->lastUpdatedAt(), clock.now());
    }
    EXPECT_DOUBLE_EQ(environment.pool.lastUpdateSince1970(),
                     double(clock.now().toMSecsSinceEpoch()) / 1000.0);
}

TEST_F(DatasourceTest, perFeedSettingsFallBackToTheGlobalOnes)
{
    auto source = sourceWith({});
    EXPECT_EQ(source->getUserDefaultsForKey(SettingsKey::limit).toInt(), 500);
    EXPECT_FALSE(source->getUserDefaultsForKey(SettingsKey::limit, true).isValid());
    EXPECT_EQ(source->fontColor(), QColor(Qt::white));

    source->setUserDefaults(QColor(Qt::red), SettingsKey::fontColor);
    const QVariantMap entry = defaults.arrayForKey(SettingsKey::feeds).last().toMap();
    EXPECT_EQ(entry.value(SettingsKey::fontColor).typeId(), QMetaType::QByteArray);
    EXPECT_EQ(source->getUserDefaultsForKey(SettingsKey::fontColor).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(source->fontColor(), QColor(Qt::red));
}

TEST_F(DatasourceTest, refreshRateBelowOneMinuteCountsAsOne)
{
    EXPECT_EQ(sourceWith({{u"refreshRate"_s, 0}})->refreshRate(), 1);
    EXPECT_EQ(sourceWith({{u"refreshRate"_s, -5}})->refreshRate(), 1);
    EXPECT_EQ(sourceWith({})->refreshRate(), 2);
}

TEST_F(DatasourceTest, aNewFeedIsAppendedToTheFeedList)
{
    const auto added = TestSource::create(std::nullopt, defaults, clock, environment);
    const QVariantList feeds = defaults.arrayForKey(SettingsKey::feeds);
    ASSERT_EQ(feeds.size(), 1);
    EXPECT_EQ(feeds.first().toMap().value(u"uuid"_s).toString(), added->uuid());
    EXPECT_EQ(feeds.first().toMap().value(u"enabled"_s), QVariant(true));
}

TEST_F(DatasourceTest, aDeletedFeedWritesNothing)
{
    auto source = sourceWith({});
    defaults.setObject(QVariantList(), SettingsKey::feeds);
    source->setCustomName(u"Renamed"_s);
    EXPECT_TRUE(defaults.arrayForKey(SettingsKey::feeds).isEmpty());
}

TEST_F(DatasourceTest, namesWrittenFromManyThreadsAreAllKept)
{
    std::vector<std::shared_ptr<TestSource>> sources;
    for (int i = 0; i < 8; ++i)
        sources.push_back(sourceWith({}));
    std::vector<std::thread> writers;
    for (int i = 0; i < 8; ++i)
        writers.emplace_back([&, i] { sources[size_t(i)]->setCustomName(u"Name %1"_s.arg(i)); });
    for (auto &writer : writers)
        writer.join();
    QSet<QString> names;
    for (const QVariant &feed : defaults.arrayForKey(SettingsKey::feeds))
        names.insert(feed.toMap().value(u"customName"_s).toString());
    EXPECT_EQ(names.size(), 8);
}

TEST_F(DatasourceTest, itemFileRestoresEntriesWithoutNumbers)
{
    auto source = sourceWith({{u"uuid"_s, u"KEEP"_s}});
    auto item = itemAged(2, u"Kept"_s);
    item->setObject(7, ItemKey::sequence);
    item->setRead(true);
    source->addItem(item);
    ASSERT_TRUE(source->sync());

    const auto reloaded =
        TestSource::create(QVariantMap{{u"uuid"_s, u"KEEP"_s}}, defaults, clock, environment);
    ASSERT_EQ(reloaded->items().size(), 1);
    const DataItemPtr restored = reloaded->items().first();
    EXPECT_EQ(restored->title(), u"Kept"_s);
    EXPECT_TRUE(restored->read());
    EXPECT_FALSE(restored->objectForKey(ItemKey::sequence).isValid());
    EXPECT_EQ(Datasource::of(*restored), reloaded);
}

TEST_F(DatasourceTest, aSourceGivenAReadAheadTakesItsEntriesFromItOnce)
{
    ASSERT_TRUE(ItemFile(u"EARLY"_s).save({itemAged(1, u"first"_s), itemAged(2, u"second"_s)}));
    ItemFileReadAhead readAhead({u"EARLY"_s, u"NO-FILE"_s});
    ASSERT_TRUE(ItemFile(u"EARLY"_s).remove()) << "what loads is what was read ahead";

    const auto source =
        std::make_shared<TestSource>(QVariantMap{{u"uuid"_s, u"EARLY"_s}}, defaults, clock, environment);
    source->load(&readAhead);
    ASSERT_EQ(source->items().size(), 2);
    EXPECT_EQ(source->items().first()->title(), u"first"_s);
    EXPECT_EQ(Datasource::of(*source->items().first()), source);

    EXPECT_FALSE(readAhead.take(u"EARLY"_s)) << "each file is handed out once";
    const auto missing = readAhead.take(u"NO-FILE"_s);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->items.isEmpty());
    EXPECT_FALSE(readAhead.take(u"NOT-ASKED"_s));
}

TEST_F(DatasourceTest, damagedItemFileIsSetAsideAndTheSourceStartsEmpty)
{
    const ItemFile file(u"BROKEN"_s);
    QFile raw(file.path());
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write("VantrelItems\1garbage");
    raw.close();

    auto source = sourceWith({{u"uuid"_s, u"BROKEN"_s}});
    EXPECT_TRUE(source->items().isEmpty());
    const QStringList aside = QDir(Paths::cachesFolder()).entryList({u"BROKEN.db.damaged-*"_s});
    EXPECT_EQ(aside.size(), 1);
}

TEST(ItemFileNamesTest, unsafeUuidsStayInsideTheCachesFolder)
{
    TempHome home;
    for (const QString &uuid : {u"../../etc/passwd"_s, u"/absolute"_s, u".."_s, u""_s, u"a/b"_s}) {
        const QString path = ItemFile(uuid).path();
        EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(Paths::cachesFolder()).absolutePath())
            << path.toStdString();
    }
    EXPECT_EQ(ItemFile::fileNameForUuid(u"6F1D-AB"_s), u"6F1D-AB.db"_s);
}

// Each refresh names its source again: the name is written and announced every time.
TEST_F(DatasourceTest, namingTheFeedAgainStillWritesAndAnnouncesIt)
{
    auto source = sourceWith({});
    int announced = 0;
    const auto connection =
        QObject::connect(&NotificationCenter::defaultCenter(),
                         &NotificationCenter::datasourceConfigurationDidChangeNotification,
                         [&](Datasource *changed) { announced += changed == source.get(); });
    source->setName(u" Daily Planet\n"_s);
    source->setName(u"Daily Planet"_s);
    QObject::disconnect(connection);
    EXPECT_EQ(announced, 2);
    EXPECT_EQ(source->name(), u"Daily Planet"_s);
    EXPECT_EQ(source->getUserDefaultsForKey(u"name"_s, true), QVariant(u"Daily Planet"_s));
}
