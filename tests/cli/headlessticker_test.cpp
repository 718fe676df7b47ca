#include "cli/headlessticker.h"
#include "model/entry/itemkeys.h"
#include "platform/manualclock.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The provider side of the ticker in memory: a published list and a queue of arrivals, with
// removeNew moving the oldest arrival to the top of the list as the manager does.
class ArrivalQueue : public ViewDataSource {
public:
    void publish(const QList<DataItemPtr> &list)
    {
        m_items = list;
        m_refresh = true;
    }
    void arrive(const DataItemPtr &item) { m_queue.append(item); }

    void setNeedsRefresh(bool refresh) override { m_refresh = refresh; }
    ItemList items() override { return PublishedList(std::make_shared<const QList<DataItemPtr>>(m_items)); }
    QList<DataItemPtr> theNewItems() override { return m_queue; }
    bool needsRefresh() const override { return m_refresh; }
    void removeNew() override
    {
        if (m_queue.isEmpty())
            return;
        m_items.prepend(m_queue.takeFirst());
        m_refresh = true;
    }
    bool hasNew() override { return !m_queue.isEmpty(); }
    void setFilter(const QString &) override {}
    void setGatherNewItems(bool) override {}
    QString filter() const override { return QString(); }
    bool isFiltered() const override { return false; }
    DataItemPtr theNewItem() override { return m_queue.value(0); }
    void setShowMarkedOnly(bool) override {}
    bool isMarkedOnly() const override { return false; }
    void markRead() override {}
    void markUnread() override {}
    void showHidden() override {}
    void hideRead() override {}

private:
    QList<DataItemPtr> m_items;
    QList<DataItemPtr> m_queue;
    bool m_refresh = false;
};

DataItemPtr headline(const QString &title)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(title, ItemKey::title);
    return item;
}

QList<DataItemPtr> headlines(const QString &prefix, int count)
{
    QList<DataItemPtr> list;
    for (int i = 1; i <= count; ++i)
        list.append(headline(prefix + QString::number(i)));
    return list;
}

} // namespace

class HeadlessTickerTest : public testing::Test {
protected:
    HeadlessTickerTest()
        : ticker(source, clock, [this](const DataItemPtr &item) { shown.append(item->title()); })
    {
    }

    // Ticks for the given time at the ticker's own pace.
    void run(int milliseconds)
    {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += HeadlessTicker::tickIntervalMs) {
            ticker.tick();
            clock.advance(HeadlessTicker::tickIntervalMs);
        }
    }

    ArrivalQueue source;
    ManualClock clock{QDateTime::fromSecsSinceEpoch(1780000000, Qt::UTC)};
    QStringList shown;
    HeadlessTicker ticker;
};

TEST_F(HeadlessTickerTest, showsTheTopOfTheListOnceOldestFirst)
{
    const QList<DataItemPtr> first = headlines(u"h"_s, 14);
    source.publish(first);
    ticker.tick();
    EXPECT_EQ(shown, (QStringList{u"h10"_s, u"h9"_s, u"h8"_s, u"h7"_s, u"h6"_s, u"h5"_s, u"h4"_s, u"h3"_s,
                                  u"h2"_s, u"h1"_s}));

    // A later list with one new row at the top shows only that row.
    ticker.tick();
    source.publish(headlines(u"x"_s, 1) + first);
    ticker.tick();
    EXPECT_EQ(shown.last(), u"x1"_s);
    EXPECT_EQ(shown.size(), 11);
}

TEST_F(HeadlessTickerTest, releasesOneArrivalAtMostEveryThreeSeconds)
{
    for (const DataItemPtr &item : headlines(u"a"_s, 3))
        source.arrive(item);
    run(200);
    EXPECT_EQ(shown, QStringList{u"a1"_s});
    run(2800);
    EXPECT_EQ(shown, QStringList{u"a1"_s});
    // The tick that finds the gap over only clears it; the next one releases.
    run(400);
    EXPECT_EQ(shown, (QStringList{u"a1"_s, u"a2"_s}));
    run(3200);
    EXPECT_EQ(shown, (QStringList{u"a1"_s, u"a2"_s, u"a3"_s}));
    EXPECT_FALSE(source.hasNew());
}

TEST_F(HeadlessTickerTest, drainsAllButTenWaitingArrivalsAtOnce)
{
    for (const DataItemPtr &item : headlines(u"a"_s, 25))
        source.arrive(item);
    ticker.tick();
    EXPECT_EQ(shown.size(), 16);
    EXPECT_EQ(shown.first(), u"a1"_s);
    EXPECT_EQ(shown.last(), u"a16"_s);
    EXPECT_EQ(source.theNewItems().size(), 9);

    run(3000);
    EXPECT_EQ(shown.size(), 16);
    run(400);
    EXPECT_EQ(shown.size(), 17);
}

TEST_F(HeadlessTickerTest, aReleasedArrivalIsNotShownAgainAsTheListTop)
{
    source.publish(headlines(u"h"_s, 2));
    source.arrive(headline(u"new"_s));
    ticker.tick();
    ticker.tick();
    EXPECT_EQ(shown, (QStringList{u"h2"_s, u"h1"_s, u"new"_s}));
}
