#include "model/entry/itemkeys.h"
#include "model/manager/mergeorder.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

using Key = MergeOrder::Entries::Key;

bool newerThan(const Key &a, const Key &b)
{
    if (a.sequence != b.sequence)
        return a.sequence > b.sequence;
    if (a.date != b.date)
        return a.date > b.date;
    return a.index < b.index;
}

std::vector<Key> keysFrom(const std::vector<std::pair<int, qint64>> &values)
{
    std::vector<Key> keys;
    for (const auto &[sequence, date] : values)
        keys.push_back({sequence, quint32(keys.size()), date});
    return keys;
}

std::vector<quint32> indexes(const std::vector<Key> &keys)
{
    std::vector<quint32> order;
    for (const Key &key : keys)
        order.push_back(key.index);
    return order;
}

DataItemPtr entry(const QString &title, int sequence, qint64 date)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(title, ItemKey::title);
    if (sequence != 0)
        item->setObject(sequence, ItemKey::sequence);
    item->setObject(QDateTime::fromMSecsSinceEpoch(date, Qt::UTC), ItemKey::parsedDate);
    return item;
}

} // namespace

TEST(MergeOrderSortTest, numbersFirstThenDatesNewestFirstAndEqualKeysInTheirOrder)
{
    constexpr qint64 noDate = DataItem::noDate;
    std::vector<Key> keys = keysFrom({{0, 100},
                                      {3, 50},
                                      {0, noDate},
                                      {-2, 900},
                                      {0, 100},
                                      {3, 70},
                                      {std::numeric_limits<int>::max(), noDate},
                                      {0, -5},
                                      {0, 100}});
    MergeOrder::sortNewestFirst(keys);
    EXPECT_EQ(indexes(keys), (std::vector<quint32>{6, 5, 1, 0, 4, 8, 7, 2, 3}));
}

TEST(MergeOrderSortTest, agreesWithAComparisonSortOnRandomKeys)
{
    QRandomGenerator random(3);
    for (const qint64 dateSpan :
         {qint64(10), qint64(7) * 24 * 3600 * 1000, std::numeric_limits<qint64>::max()}) {
        std::vector<std::pair<int, qint64>> values;
        for (int i = 0; i < 5000; ++i) {
            const int sequence = random.bounded(4) == 0 ? int(random.generate()) : 0;
            const qint64 date = i % 97 == 0 ? DataItem::noDate
                                            : 1780000000000 - qint64(random.generate64() % quint64(dateSpan));
            values.emplace_back(sequence, date);
        }
        std::vector<Key> sorted = keysFrom(values);
        std::vector<Key> expected = sorted;
        MergeOrder::sortNewestFirst(sorted);
        std::sort(expected.begin(), expected.end(), newerThan);
        EXPECT_EQ(indexes(sorted), indexes(expected)) << "dates spread over " << dateSpan;
    }
}

class MergeOrderArrangeTest : public testing::Test {
protected:
    MergeOrder::Entries entriesOf(const QList<DataItemPtr> &items)
    {
        MergeOrder::Entries entries;
        for (const DataItemPtr &item : items)
            entries.add(item);
        return entries;
    }

    const DataItemPtr older = entry(u"older"_s, 0, 1000);
    const DataItemPtr numbered = entry(u"numbered"_s, 4, 10);
    const DataItemPtr newer = entry(u"newer"_s, 0, 2000);
    const QList<DataItemPtr> sources = {older, numbered, newer}; // the lists the entries point into
};

TEST_F(MergeOrderArrangeTest, publishesTheEntriesSortedAndHidesWhatTheOneShotsHide)
{
    newer->setRead(true);
    MergeOrder::Entries entries = entriesOf(sources);
    EXPECT_EQ(MergeOrder::arrange(entries, {}), (QList<DataItemPtr>{numbered, newer, older}));
    EXPECT_TRUE(entries.items.empty());

    entries = entriesOf(sources);
    MergeOrder::OneShots hideRead;
    hideRead.hide = true;
    EXPECT_EQ(MergeOrder::arrange(entries, hideRead), (QList<DataItemPtr>{numbered, older}));
    EXPECT_TRUE(newer->hidden());
    EXPECT_EQ(newer.use_count(), 2) << "held by the test and its source list only";
}

TEST_F(MergeOrderArrangeTest, takesThePreviousListsReferencesAndReleasesWhatItNoLongerHolds)
{
    const DataItemPtr dropped = entry(u"dropped"_s, 0, 1500);
    MergeOrder::Entries entries = entriesOf(sources);
    const QList<DataItemPtr> merged =
        MergeOrder::arrange(entries, {}, QList<DataItemPtr>{numbered, dropped, newer, older});

    EXPECT_EQ(merged, (QList<DataItemPtr>{numbered, newer, older}));
    EXPECT_EQ(dropped.use_count(), 1);
    for (const DataItemPtr &item : sources)
        EXPECT_EQ(item.use_count(), 3) << "the test, its source list and the merged list";
}

TEST_F(MergeOrderArrangeTest, leavesAPreviousListAReaderStillSharesAlone)
{
    const QList<DataItemPtr> readersCopy{newer, numbered, older};
    MergeOrder::Entries entries = entriesOf(sources);
    const QList<DataItemPtr> merged = MergeOrder::arrange(entries, {}, readersCopy);

    EXPECT_EQ(merged, (QList<DataItemPtr>{numbered, newer, older}));
    EXPECT_EQ(readersCopy, (QList<DataItemPtr>{newer, numbered, older}));
}
