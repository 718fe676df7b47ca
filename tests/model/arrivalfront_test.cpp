#include "arrivalfixture.h"
#include "common/qtprinters.h"
#include "model/manager/arrivalfront.h"
#include "model/manager/retiredlist.h"

#include <chrono>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Arrivals brought in from the queue stand on top of the merged list until a merge lists them.
class ArrivalFrontTest : public ArrivalFixture {
protected:
    void SetUp() override
    {
        ArrivalFixture::SetUp();
        listed = entry(0, u"listed"_s);
        other = entry(1, u"other"_s);
    }

    DataItemPtr bringIn(int sourceIndex, const QString &title)
    {
        const DataItemPtr arrival = arrive(sourceIndex, title);
        EXPECT_EQ(manager->theNewItem(), arrival);
        manager->removeNew();
        return arrival;
    }

    DataItemPtr listed;
    DataItemPtr other;
};

TEST_F(ArrivalFrontTest, aBroughtInEntryIsListedOnceOnTopBeforeAndAfterTheMergeFoldsItIn)
{
    const ViewDataSource::ItemList before = manager->items();
    const DataItemPtr first = bringIn(0, u"first"_s);
    const DataItemPtr second = bringIn(1, u"second"_s);
    EXPECT_EQ(manager->items().toList(), (QList<DataItemPtr>{second, first, listed, other}));
    EXPECT_EQ(before.toList(), (QList<DataItemPtr>{listed, other})) << "a reader's copy stays as it was";

    manager->mergeSync();
    manager->mergeSync();
    const ViewDataSource::ItemList after = manager->items();
    EXPECT_EQ(after.toList(), (QList<DataItemPtr>{second, first, listed, other}));
    EXPECT_EQ(after.size(), 4);
    EXPECT_TRUE(after.contains(first));
    EXPECT_EQ(std::count(after.begin(), after.end(), first), 1);
}

// A merge runs on its worker while the main thread files and brings in arrivals, so some are
// brought in before it reads the sources, some while, some after: every copy of the list shows
// each of them once, newest on top, and loses none.
TEST_F(ArrivalFrontTest, entriesBroughtInWhileMergesRunAreNeverLostNorListedTwice)
{
    std::atomic<bool> stop = false;
    std::thread merger([&] {
        while (!stop)
            manager->mergeSync();
    });
    QList<DataItemPtr> expected{listed, other};
    int mismatches = 0;
    for (int i = 0; i < 300 && mismatches < 3; ++i) {
        expected.prepend(bringIn(i % 2, u"arrival %1"_s.arg(i)));
        const QList<DataItemPtr> shown = manager->items().toList();
        if (shown != expected) {
            ++mismatches;
            qsizetype at = 0;
            while (at < std::min(shown.size(), expected.size()) && shown.at(at) == expected.at(at))
                ++at;
            ADD_FAILURE() << "after arrival " << i << ": " << shown.size() << " listed, " << expected.size()
                          << " expected, first difference at " << at << ": "
                          << (at < shown.size() ? shown.at(at)->title().toStdString() : "-") << " instead of "
                          << (at < expected.size() ? expected.at(at)->title().toStdString() : "-");
        }
    }
    stop = true;
    merger.join();
    manager->mergeSync();
    EXPECT_EQ(manager->items().toList(), expected);
}

// The merge reads the first feed, then waits for the second, which the test holds; meanwhile an
// arrival is filed in the first feed, after the merge read it, and brought in. Every list
// published from then on shows it once, on top.
TEST_F(ArrivalFrontTest, anEntryBroughtInWhileAMergeReadsTheFeedsStaysOnTopOfWhatItPublishes)
{
    std::mutex lock;
    QList<QList<DataItemPtr>> published;
    QObject::connect(
        manager.get(), &DatasourceManager::itemsPublished, manager.get(),
        [&] {
            std::lock_guard guard(lock);
            published.append(manager->items().toList());
        },
        Qt::DirectConnection);
    DataItemPtr late;
    {
        std::lock_guard held(feeds.at(1)->lock());
        manager->merge();
        // Lets the merge reach the held feed; the outcome must be the same if it has not.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        late = bringIn(0, u"late"_s);
    }
    manager->mergeSync();

    std::lock_guard guard(lock);
    ASSERT_GE(published.size(), 2);
    for (const QList<DataItemPtr> &list : std::as_const(published))
        EXPECT_EQ(list, (QList<DataItemPtr>{late, listed, other}));
}

TEST_F(ArrivalFrontTest, aBroughtInEntryOfADeletedFeedLeavesWithItsFeed)
{
    const DataItemPtr kept = bringIn(0, u"kept"_s);
    bringIn(1, u"gone"_s);
    arrive(1, u"still queued"_s);
    manager->deleteDatasource(feeds.at(1).get());
    feeds.removeAt(1);
    manager->mergeSync();
    EXPECT_EQ(manager->items().toList(), (QList<DataItemPtr>{kept, listed}));
    EXPECT_FALSE(manager->hasNew());
}

TEST_F(ArrivalFrontTest, theReadAndHiddenOperationsReachBroughtInEntries)
{
    const DataItemPtr read = bringIn(0, u"read"_s);
    const DataItemPtr unread = bringIn(1, u"unread"_s);
    read->setRead(true);
    manager->hideRead();
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"unread"_s, u"listed"_s, u"other"_s}));
    EXPECT_TRUE(read->hidden());

    const DataItemPtr late = bringIn(0, u"late"_s);
    manager->markRead();
    manager->mergeSync();
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_TRUE(late->read() && late->hidden());

    manager->markUnread();
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"late"_s, u"unread"_s, u"read"_s, u"listed"_s, u"other"_s}));
    EXPECT_FALSE(unread->read());
}

TEST_F(ArrivalFrontTest, aFilterSetWhileArrivalsWaitAppliesToThemOnceBroughtIn)
{
    arrive(0, u"apple pie"_s);
    arrive(1, u"banana bread"_s);
    manager->setFilter(u"APPLE"_s);
    EXPECT_FALSE(manager->hasNew());
    manager->mergeSync();
    EXPECT_EQ(titles(), QStringList{u"apple pie"_s});
    manager->setFilter(u" "_s);
    manager->mergeSync();
    EXPECT_EQ(titles(), (QStringList{u"banana bread"_s, u"apple pie"_s, u"listed"_s, u"other"_s}));
}

// Entries 1..4, numbered in the order taken. A merge that read the sources after the first was
// taken folds it in, and the later ones it listed, up to the first it did not list: that one
// stays on top with every newer one, and the merge leaves out those it listed.
TEST(ArrivalFrontFoldTest, aMergeFoldsInWhatItListedUpToTheFirstEntryItCouldNotSee)
{
    QList<DataItemPtr> entries;
    ArrivalFront front;
    for (quint64 taken = 1; taken <= 4; ++taken) {
        entries.append(std::make_shared<DataItem>());
        front.bringIn(entries.last(), taken);
    }
    EXPECT_EQ(*front.items(), (QList<DataItemPtr>{entries[3], entries[2], entries[1], entries[0]}));
    EXPECT_EQ(front.takenBetween(1, 3), (QSet<const DataItem *>{entries[1].get(), entries[2].get()}));

    const ArrivalFront::Fold inOrder = front.planFold(1, {entries[1].get()});
    EXPECT_EQ(inOrder.count, 2);
    EXPECT_TRUE(inOrder.duplicates.isEmpty());

    const ArrivalFront::Fold gap = front.planFold(1, {entries[2].get()});
    EXPECT_EQ(gap.count, 1);
    EXPECT_EQ(gap.duplicates, QSet<const DataItem *>{entries[2].get()});

    const PublishedList::Part shown = front.items();
    front.dropOldest(gap.count);
    EXPECT_EQ(*front.items(), (QList<DataItemPtr>{entries[3], entries[2], entries[1]}));
    EXPECT_EQ(shown->size(), 4) << "a reader's copy stays as it was";
    front.dropOldest(3);
    EXPECT_EQ(front.items(), nullptr);
}

// Dropping a published list only sets it aside; the merge that takes the latest releases the rest.
TEST(RetiredListTest, theNextMergeTakesTheLatestListAndReleasesTheOlderOnes)
{
    const auto retired = std::make_shared<RetiredList>();
    const DataItemPtr older = std::make_shared<DataItem>();
    const DataItemPtr latest = std::make_shared<DataItem>();
    auto first = RetiredList::share({older}, retired);
    auto second = RetiredList::share({latest}, retired);
    first.reset();
    second.reset();
    EXPECT_EQ(older.use_count(), 2) << "set aside, not released, by whoever dropped it";

    const QList<DataItemPtr> taken = retired->take();
    EXPECT_EQ(taken, QList<DataItemPtr>{latest});
    EXPECT_EQ(older.use_count(), 1);
    EXPECT_TRUE(retired->take().isEmpty());
}

} // namespace
