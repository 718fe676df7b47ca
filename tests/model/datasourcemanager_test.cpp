#include "arrivalfixture.h"
#include "common/qtprinters.h"

#include <QFile>

using namespace Qt::StringLiterals;

class MergeTest : public ManagerFixture {};

TEST_F(MergeTest, ordersByArrivalNumberThenDateNewestFirst)
{
    storeFeed(u"One"_s, {item(u"a-old"_s, 50), item(u"a-five"_s, 40)});
    storeFeed(u"Two"_s, {item(u"b-new"_s, 5), item(u"b-three"_s, 60)});
    makeManager();
    entry(0, u"a-five"_s)->setObject(5, ItemKey::sequence);
    entry(1, u"b-three"_s)->setObject(3, ItemKey::sequence);

    manager->mergeSync();

    EXPECT_EQ(titles(), (QStringList{u"a-five"_s, u"b-three"_s, u"b-new"_s, u"a-old"_s}));
    EXPECT_TRUE(manager->needsRefresh());
}

TEST_F(MergeTest, leavesOutDisabledSourcesAndEntriesPastTheLimits)
{
    storeFeed(u"One"_s, {item(u"fresh"_s, 5), item(u"ancient"_s, 8 * 24 * 60)});
    storeFeed(u"Two"_s, {item(u"off"_s, 1)});
    makeManager();
    source(1)->setEnabled(false);

    manager->mergeSync();

    EXPECT_EQ(titles(), QStringList{u"fresh"_s});
}

TEST_F(MergeTest, hiddenEntriesComeBackOnlyWhileShownAndHideReadKeepsReadOnesOut)
{
    storeFeed(u"One"_s, {item(u"read"_s, 1), item(u"hidden"_s, 2), item(u"plain"_s, 3)});
    makeManager();
    entry(0, u"hidden"_s)->setHidden(true);
    entry(0, u"read"_s)->setRead(true);

    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"read"_s, u"plain"_s}));

    manager->showHidden();
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"read"_s, u"hidden"_s, u"plain"_s}));
    EXPECT_TRUE(manager->isReadItemsVisible());

    manager->hideRead();
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"plain"_s}));
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"plain"_s}));
}

TEST_F(MergeTest, markReadHidesEverythingAndMarkUnreadBringsItBackUnread)
{
    storeFeed(u"One"_s, {item(u"first"_s, 1), item(u"second"_s, 2)});
    makeManager();

    manager->markRead();
    manager->mergeSync();
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_TRUE(entry(0, u"first"_s)->read());

    manager->markUnread();
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"first"_s, u"second"_s}));
    EXPECT_FALSE(entry(0, u"first"_s)->read());
    EXPECT_FALSE(entry(0, u"second"_s)->hidden());
}

class FilterTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        storeFeed(u"Économie"_s, {item(u"Markets rally"_s, 1), item(u"Budget"_s, 2, u"the CAFÉ tax"_s)});
        storeFeed(u"Sport"_s, {item(u"Café league"_s, 3), item(u"Final score"_s, 4)});
        makeManager();
    }
};

TEST_F(FilterTest, searchIgnoresCaseAndDiacriticsInTitleDescriptionAndFeedName)
{
    manager->setFilter(u"cafe"_s);
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"Budget"_s, u"Café league"_s}));
    EXPECT_TRUE(manager->isFiltered());
    EXPECT_EQ(manager->filter(), u"cafe"_s);

    manager->setFilter(u"ECONOMIE"_s);
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"Markets rally"_s, u"Budget"_s}));
}

TEST_F(FilterTest, blankSearchTextRemovesTheFilter)
{
    manager->setFilter(u"score"_s);
    manager->mergeSync();
    ASSERT_EQ(titles(), QStringList{u"Final score"_s});

    manager->setFilter(u"  \n "_s);
    manager->mergeSync();
    EXPECT_EQ(titles().size(), 4);
    EXPECT_FALSE(manager->isFiltered());
    EXPECT_TRUE(manager->filter().isNull());
}

TEST_F(FilterTest, searchDoesNotMatchAcrossTitleAndDescription)
{
    manager->setFilter(u"budget\uffffthe"_s);
    manager->mergeSync();
    EXPECT_TRUE(titles().isEmpty());
}

TEST_F(FilterTest, markedOnlyKeepsMarkedEntriesAndCombinesWithSearch)
{
    entry(0, u"Budget"_s)->setObject(true, ItemKey::mark);
    entry(1, u"Final score"_s)->setObject(true, ItemKey::mark);

    manager->setShowMarkedOnly(true);
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"Budget"_s, u"Final score"_s}));
    EXPECT_TRUE(manager->isFiltered());
    EXPECT_TRUE(manager->isMarkedOnly());

    manager->setFilter(u"sport"_s);
    manager->mergeSync();
    EXPECT_EQ(titles(), QStringList{u"Final score"_s});
}

class ArrivalTest : public ArrivalFixture {};

TEST_F(ArrivalTest, arrivalsWaitInTheQueueAndAreReleasedOnTopOneAtATime)
{
    const auto first = arrive(0, u"first"_s);
    arrive(1, u"second"_s);
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"listed"_s, u"other"_s}));
    ASSERT_TRUE(manager->hasNew());
    EXPECT_EQ(manager->theNewItem(), first);
    EXPECT_EQ(manager->theNewItems().size(), 2);

    const ViewDataSource::ItemList before = manager->items();
    manager->removeNew();
    EXPECT_EQ(titles().first(), u"first"_s);
    EXPECT_EQ(before.size(), 2) << "a reader's snapshot never changes";
    EXPECT_GT(first->sequence(), 0);

    manager->removeNew();
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"second"_s, u"first"_s, u"listed"_s, u"other"_s}));
    EXPECT_FALSE(manager->hasNew());
    EXPECT_EQ(manager->theNewItem(), nullptr);
}

TEST_F(ArrivalTest, manyQueuedArrivalsAllWait)
{
    for (int i = 0; i < 300; ++i)
        arrive(0, u"arrival %1"_s.arg(i));
    EXPECT_TRUE(manager->hasNew());
    EXPECT_EQ(manager->theNewItems().size(), 300);
}

TEST_F(ArrivalTest, anArrivalOutsideTheFilterIsNumberedAtOnceAndNotQueued)
{
    manager->setFilter(u"match"_s);
    const auto outside = arrive(0, u"elsewhere"_s);
    const auto inside = arrive(0, u"a match"_s);
    EXPECT_GT(outside->sequence(), 0);
    EXPECT_EQ(manager->theNewItems(), QList<DataItemPtr>{inside});
}

TEST_F(ArrivalTest, withoutGatheringArrivalsAreNumberedAtOnce)
{
    manager->setGatherNewItems(false);
    const auto arrival = arrive(0, u"direct"_s);
    EXPECT_FALSE(manager->hasNew());
    EXPECT_GT(arrival->sequence(), 0);
    manager->mergeSync();
    EXPECT_EQ(titles().first(), u"direct"_s);
}

TEST_F(ArrivalTest, settingAFilterReleasesTheQueueFirst)
{
    arrive(0, u"queued"_s);
    manager->setFilter(u"queued"_s);
    manager->mergeSync();
    EXPECT_FALSE(manager->hasNew());
    EXPECT_EQ(titles(), QStringList{u"queued"_s});
}

TEST_F(ArrivalTest, queuedArrivalsOfDisabledAndDeletedSourcesNeverAppear)
{
    arrive(0, u"of one"_s);
    arrive(1, u"of two"_s);
    source(0)->setEnabled(false);
    manager->deleteDatasource(source(1).get());
    EXPECT_FALSE(manager->hasNew());
    manager->mergeSync();
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_EQ(defaults.arrayForKey(SettingsKey::feeds).size(), 1);
}

TEST_F(ArrivalTest, changeReportsBecomeOneMergeAtTheDirtyTimer)
{
    const quint64 before = manager->publishedGeneration();
    manager->dirtyTimer();
    EXPECT_EQ(manager->publishedGeneration(), before);
    source(0)->removeItem(entry(0, u"listed"_s));
    source(1)->removeItem(entry(1, u"other"_s));
    manager->dirtyTimer();
    manager->mergeSync();
    EXPECT_EQ(manager->publishedGeneration(), before + 2);
    EXPECT_TRUE(titles().isEmpty());
}

// A new feed's entries, ordered by date, may stand among the others' older arrivals: these lose
// their numbers, all but the three latest.
TEST_F(ArrivalTest, addingAFeedUnnumbersAllButTheThreeLatestArrivals)
{
    QList<DataItemPtr> arrivals;
    for (int i = 0; i < 6; ++i)
        arrivals.append(arrive(i % 2, u"arrival %1"_s.arg(i)));
    while (manager->hasNew())
        manager->removeNew();
    const int latest = manager->refreshPool().currentSequence();
    ASSERT_EQ(arrivals.last()->sequence(), latest);

    ASSERT_NE(manager->addFeedWithURL(u"http://127.0.0.1:9/added.xml"_s), nullptr);
    QList<int> numbers;
    for (const DataItemPtr &arrival : std::as_const(arrivals))
        numbers.append(arrival->sequence());
    EXPECT_EQ(numbers, (QList<int>{0, 0, 0, latest - 2, latest - 1, latest}));
}

class SubscriptionTest : public ManagerFixture {};

TEST_F(SubscriptionTest, anAddressAlreadySubscribedUnderAnotherSchemeIsRefused)
{
    storeFeed(u"One"_s, {}, u"http://127.0.0.1:9/news.xml"_s);
    reachability.reachable = false;
    makeManager();
    QStringList notices;
    QObject::connect(manager.get(), &DatasourceManager::noticeRequested,
                     [&](const QString &message) { notices.append(message); });

    EXPECT_EQ(manager->addFeedWithURL(u"feed://127.0.0.1:9/news.xml"_s), nullptr);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.first(), u"Feed already exists."_s);
    EXPECT_EQ(manager->datasources().size(), 1);

    const auto added = manager->addFeedWithURL(u"127.0.0.1:9/other.xml"_s);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(manager->datasources().last(), added);
    EXPECT_EQ(manager->dataSourceForUrl(u"127.0.0.1:9/other.xml"_s), added);
    EXPECT_EQ(manager->dataSourceForUrl(u"http://127.0.0.1:9/other.xml"_s), nullptr);
    const QVariantList feeds = defaults.arrayForKey(SettingsKey::feeds);
    ASSERT_EQ(feeds.size(), 2);
    EXPECT_EQ(feeds.last().toMap().value(u"url"_s).toString(), u"127.0.0.1:9/other.xml"_s);
}

TEST_F(SubscriptionTest, startUpReadsManyItemFilesAtOnceAndADamagedOneStartsEmpty)
{
    constexpr int feeds = 40; // enough for the files to be read on several threads
    for (int feed = 0; feed < feeds; ++feed)
        storeFeed(u"Feed %1"_s.arg(feed),
                  {item(u"newer %1"_s.arg(feed), feed), item(u"older %1"_s.arg(feed), 100 + feed)});
    QFile damaged(ItemFile(u"FEED-7"_s).path());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("VantrelItems\1not records");
    damaged.close();

    makeManager();

    ASSERT_EQ(manager->datasources().size(), feeds);
    for (int feed = 0; feed < feeds; ++feed) {
        const QList<DataItemPtr> items = source(feed)->items();
        if (feed == 6) {
            EXPECT_TRUE(items.isEmpty());
            continue;
        }
        ASSERT_EQ(items.size(), 2) << "feed " << feed;
        EXPECT_EQ(items.first()->title(), u"newer %1"_s.arg(feed));
        EXPECT_EQ(Datasource::of(*items.first()), source(feed));
    }
    EXPECT_FALSE(ItemFile(u"FEED-7"_s).exists()) << "moved aside";
}

TEST_F(SubscriptionTest, aChangedSourceIsSavedAfterTheDelayAndEverySourceAtQuit)
{
    const QString uuid = storeFeed(u"One"_s, {item(u"first"_s, 1), item(u"second"_s, 2)});
    makeManager();
    source(0)->removeItem(entry(0, u"first"_s));
    ASSERT_TRUE(waitFor([&] { return ItemFile(uuid).load().size() == 1; }));

    source(0)->addItem(item(u"third"_s, 0));
    EXPECT_TRUE(manager->syncAll());
    EXPECT_EQ(ItemFile(uuid).load().size(), 2);
}
