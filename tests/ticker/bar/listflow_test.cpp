#include "barfixture.h"

#include "ticker/bar/unseenlist.h"
#include "ticker/rows/rowtextfield.h"
#include "ui/animation/viewalpha.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

class ArrivalTest : public BarFixture {};

TEST_F(ArrivalTest, aBacklogAtTheTopGoesInTogetherThenOneRowSlidesInAndTheNextWaitsThreeSeconds)
{
    startBar(20);
    defaults.setObject(true, SettingsKey::alwaysPlaySound);
    for (int i = 0; i < 25; ++i)
        arrive(u"new %1"_s.arg(i));

    flow().timer();
    EXPECT_EQ(manager->theNewItems().size(), 9);
    EXPECT_EQ(sounds.played, QStringList{u"Submarine"_s}) << "one sound for the whole tick";
    EXPECT_TRUE(list().isAnimating());
    ASSERT_TRUE(waitFor([&] { return !server.notifications().isEmpty(); }));
    QCoreApplication::processEvents();
    ASSERT_EQ(server.notifications().size(), 1) << "the drained headlines are not announced";
    EXPECT_EQ(server.notifications().constFirst().body, u"new 15"_s);

    DataItemView *slidingIn = rowTitled(u"new 15"_s);
    ASSERT_NE(slidingIn, nullptr);
    EXPECT_EQ(ViewAlpha::of(slidingIn), 0.0);
    EXPECT_LT(slidingIn->geometry().bottom(), 0) << "waits above the top row";
    animations.advanceInFrames(500);
    EXPECT_GT(slidingIn->geometry().bottom(), 0);
    EXPECT_LT(slidingIn->geometry().top(), 0) << "halfway in";
    animations.advanceInFrames(500);
    EXPECT_FALSE(list().isAnimating());
    EXPECT_EQ(slidingIn->geometry().top(), 0);
    animations.advanceInFrames(300);
    EXPECT_EQ(ViewAlpha::of(slidingIn), 1.0);
    // The drained backlog reaches the list once the merge worker publishes it and the rebuild
    // timer, stopped here, lays the list out again.
    EXPECT_TRUE(waitFor([&] {
        flow().rebuildViews();
        return list().height() == 36 * rowHeight;
    })) << list().height();

    tickAfter(2900);
    EXPECT_EQ(manager->theNewItems().size(), 9);
    tickAfter(100);
    EXPECT_EQ(manager->theNewItems().size(), 9) << "the tick that ends the gap brings nothing";
    tickAfter(200);
    EXPECT_EQ(manager->theNewItems().size(), 8);
}

TEST_F(ArrivalTest, aHeadlineArrivingWhileTheUserLooksFurtherDownKeepsTheViewStillAndIsCounted)
{
    startBar(40);
    scrollView().scrollToPoint(QPoint(0, 10 * rowHeight));
    ASSERT_EQ(titleAtTop(), u"stored 10"_s);
    arrive(u"fresh"_s);

    flow().timer();
    EXPECT_FALSE(list().isAnimating());
    EXPECT_EQ(list().height(), 41 * rowHeight);
    EXPECT_EQ(titleAtTop(), u"stored 10"_s);
    QPushButton *counter = bar->counterButton();
    EXPECT_TRUE(counter->isEnabled());
    EXPECT_EQ(counter->text(), u"1 new"_s);
    animations.advanceInFrames(300);
    EXPECT_EQ(counter->height(), 20);
    EXPECT_EQ(counter->geometry().bottom() + 1, scrollView().geometry().top());

    flow().scrollToTopAction();
    EXPECT_EQ(titleAtTop(), u"fresh"_s);
    EXPECT_FALSE(counter->isEnabled());
    EXPECT_EQ(counter->text(), QString());
    animations.advanceInFrames(300);
    EXPECT_EQ(counter->height(), 0);
}

TEST_F(ArrivalTest, aRowScrolledIntoViewIsSeenWithEveryOlderUnseenOne)
{
    startBar(40);
    scrollView().scrollToPoint(QPoint(0, 10 * rowHeight));
    arrive(u"older"_s);
    flow().timer();
    tickAfter(3000);
    arrive(u"newer"_s);
    tickAfter(200);
    EXPECT_EQ(bar->counterButton()->text(), u"2 new"_s);

    // The older row's middle comes into view, the newer one's stays out.
    scrollView().scrollToPoint(QPoint(0, rowHeight * 3 / 5));
    EXPECT_EQ(bar->counterButton()->text(), u"1 new"_s);
    EXPECT_EQ(bar->unseen().items().constFirst()->title(), u"newer"_s);
    scrollView().scrollToPoint(QPoint(0, 0));
    EXPECT_FALSE(bar->counterButton()->isEnabled());
}

TEST_F(ArrivalTest, anOpenPreviewHoldsTheQueueWhileTheListIsShorterThanTheView)
{
    startBar(3);
    DataItemView *top = rows().constFirst();
    preview->setArrowLocation(top->arrowLocation(), top->isArrowOnLeft());
    preview->setDataItem(top->dataItem());
    arrive(u"waiting"_s);

    flow().timer();
    EXPECT_TRUE(manager->hasNew());
    preview->close();
    flow().timer();
    EXPECT_FALSE(manager->hasNew());
}

TEST_F(ArrivalTest, markedHeadlinesSoundAlwaysAndOthersOnlyWhenEveryHeadlineShould)
{
    startBar(1);
    EXPECT_TRUE(flow().playSound(entry(u"marked"_s, 0, true)));
    EXPECT_FALSE(flow().playSound(entry(u"plain"_s)));
    defaults.setObject(true, SettingsKey::alwaysPlaySound);
    EXPECT_TRUE(flow().playSound(entry(u"plain"_s)));
    EXPECT_EQ(sounds.played, (QStringList{u"Submarine"_s, u"Submarine"_s}));

    defaults.removeObjectForKey(SettingsKey::soundName);
    EXPECT_FALSE(flow().playSound(entry(u"marked"_s, 0, true)));
    EXPECT_EQ(sounds.played.size(), 2);
}

TEST_F(ArrivalTest, withReducedMotionAHeadlineIsInAtOnceAndTheGapStays)
{
    defaults.setObject(true, SettingsKey::reduceMotion);
    startBar(5);
    arrive(u"one"_s);
    arrive(u"two"_s);
    flow().timer();
    EXPECT_FALSE(list().isAnimating());
    ASSERT_NE(rowTitled(u"one"_s), nullptr);
    EXPECT_EQ(rowTitled(u"one"_s)->geometry().top(), 0);
    EXPECT_EQ(ViewAlpha::of(rowTitled(u"one"_s)), 1.0);
    tickAfter(1000);
    EXPECT_TRUE(manager->hasNew()) << "still one at a time";
}

class RowLayoutTest : public BarFixture {};

TEST_F(RowLayoutTest, onlyTheRowsInViewAndOneMoreOnEachSideExistAndScrollingReusesThem)
{
    startBar(1000);
    // The rows in view at the top of the list, and the one below them.
    // 796 pixels of scroll view show rows 985 to 1000; 983 and 984 lie below them.
    ASSERT_EQ(scrollView().viewport()->height(), 796);
    QList<DataItemView *> shown = rows();
    ASSERT_EQ(shown.size(), 18);
    EXPECT_EQ(shown.constFirst()->index(), 1000);
    EXPECT_EQ(shown.constLast()->index(), 983);
    for (DataItemView *row : shown) {
        EXPECT_EQ(row->dataItem()->title(), u"stored %1"_s.arg(1000 - row->index()));
        EXPECT_EQ(list().subviewFrame(row),
                  QRect(0, (row->index() - 1) * rowHeight, list().width(), rowHeight));
    }

    scrollView().scrollToPoint(QPoint(0, 3));
    EXPECT_EQ(rows(), shown) << "the same range needs no work";
    scrollView().scrollToPoint(QPoint(0, 5 * rowHeight));
    const QList<DataItemView *> moved = rows();
    EXPECT_EQ(moved.size(), 19) << "now a row above too";
    EXPECT_EQ(moved.constFirst()->index(), 996);
    scrollView().scrollToPoint(QPoint(0, 20 * rowHeight));
    const QList<DataItemView *> further = rows();
    EXPECT_EQ(QSet<DataItemView *>(further.begin(), further.end()),
              QSet<DataItemView *>(moved.begin(), moved.end()))
        << "rows leaving the range carry the rows entering it";
    for (DataItemView *row : further)
        EXPECT_EQ(row->dataItem()->title(), u"stored %1"_s.arg(1000 - row->index()));
}

TEST_F(RowLayoutTest, theListIsCopiedOnlyWhenTheProviderReportsAChange)
{
    startBar(50);
    const int before = flow().snapshotCount();
    for (int i = 0; i < 100; ++i) {
        tickAfter(200);
        flow().rebuildViews();
    }
    EXPECT_EQ(flow().snapshotCount(), before);
    arrive(u"news"_s);
    manager->mergeSync();
    flow().timer();
    animations.advanceInFrames(1100);
    flow().rebuildViews();
    EXPECT_EQ(flow().snapshotCount(), before + 1);
}

TEST_F(RowLayoutTest, aRowHeightOfZeroMeansAHundred)
{
    startBar(10);
    defaults.setObject(0, SettingsKey::itemHeight);
    EXPECT_EQ(flow().itemHeight(), 100);
    EXPECT_EQ(rows().constFirst()->height(), 100);
    EXPECT_EQ(list().height(), 1000);
}

TEST_F(RowLayoutTest, aNewDayRewritesEveryRowsTimeLine)
{
    startBar(3);
    const QString before = rows().constFirst()->sourceTextField()->text();
    flow().rebuildViews();
    EXPECT_EQ(rows().constFirst()->sourceTextField()->text(), before);
    clock.advance(24 * 3600 * 1000);
    flow().rebuildViews();
    EXPECT_NE(rows().constFirst()->sourceTextField()->text(), before);
}

// The bar's own tick; merges are left to the test, as the manager's timers are stopped.
class IdleTickTest : public BarFixture {
protected:
    IdleTickTest() { ticking = true; }
    bool fallsAsleep()
    {
        return waitFor([&] { return flow().isAsleep(); });
    }
};

TEST_F(IdleTickTest, withNothingToDoTheTickSleepsAndAPublishedArrivalWakesItToSlideIn)
{
    startBar(5);
    ASSERT_TRUE(fallsAsleep());

    arrive(u"news"_s);
    manager->merge();
    ASSERT_TRUE(waitFor([&] { return rowTitled(u"news"_s) != nullptr; }));
    animations.advanceInFrames(1300);
    EXPECT_TRUE(waitFor([&] { return list().height() == 6 * rowHeight; }));
    EXPECT_EQ(titleAtTop(), u"news"_s);
    EXPECT_EQ(sounds.played.size(), 0) << "an unmarked headline is silent";
    EXPECT_FALSE(flow().isAsleep()) << "the three seconds after an arrival are ticked through";
    clock.advance(3000);
    EXPECT_TRUE(fallsAsleep());
}

TEST_F(IdleTickTest, rowsFollowAReadFlagThatAMergeChangedWhileTheTickSlept)
{
    startBar(3);
    ASSERT_TRUE(fallsAsleep());
    DataItemView *top = rows().constFirst();
    top->dataItem()->setRead(true);
    manager->merge();
    EXPECT_TRUE(waitFor([&] {
        animations.advanceBy(50);
        return top->titleTextField()->alphaValue() == DataItemView::readAlpha;
    }));
}

TEST_F(IdleTickTest, markingAllReadFromTheTrayEmptiesTheSleepingBar)
{
    startBar(3);
    ASSERT_TRUE(fallsAsleep());
    manager->markRead();
    EXPECT_TRUE(waitFor([&] { return list().height() == 0; })) << list().height();
}

TEST_F(IdleTickTest, aScrollOrANewScrollToTopIntervalWakesTheTick)
{
    defaults.setObject(0, SettingsKey::scrollToTopInterval);
    startBar(40);
    ASSERT_TRUE(fallsAsleep());
    scrollView().scrollToPoint(QPoint(0, 500));
    EXPECT_FALSE(flow().isAsleep());
    ASSERT_TRUE(fallsAsleep());
    EXPECT_FALSE(flow().scrollTimer()->isActive());

    defaults.setObject(5, SettingsKey::scrollToTopInterval);
    EXPECT_TRUE(waitFor([&] { return flow().scrollTimer()->isActive(); }));
}

class AutoHideTest : public BarFixture {};

TEST_F(AutoHideTest, aReadRowFadesOutThenLeavesTheListButThePreviewedOneStays)
{
    startBar(5);
    defaults.setObject(true, SettingsKey::autoHide);
    manager->mergeSync();
    flow().rebuildViews();
    DataItemView *read = rows().at(1);
    DataItemView *previewed = rows().at(2);
    const DataItemPtr readItem = read->dataItem();
    const DataItemPtr previewedItem = previewed->dataItem();
    readItem->setRead(true);
    preview->setArrowLocation(previewed->arrowLocation(), previewed->isArrowOnLeft());
    preview->setDataItem(previewedItem);
    previewedItem->setRead(true);
    ASSERT_EQ(preview->dataItem(), previewedItem);
    flow().timer();
    animations.advanceBy(350);
    EXPECT_GT(ViewAlpha::of(read), 0.0);
    EXPECT_LT(ViewAlpha::of(read), 1.0);
    EXPECT_EQ(ViewAlpha::of(previewed), 1.0);
    animations.advanceBy(400);
    flow().timer();
    EXPECT_TRUE(readItem->hidden());
    EXPECT_FALSE(manager->items().contains(readItem));
    flow().rebuildViews();
    EXPECT_EQ(rowOf(readItem), nullptr);
    EXPECT_NE(rowOf(previewedItem), nullptr);
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(AutoHideTest, markingAllReadWithoutAutoHideKeepsTheRows)
{
    startBar(5);
    flow().markAllRead();
    manager->mergeSync();
    flow().rebuildViews();
    EXPECT_EQ(rows().size(), 5);
    for (DataItemView *row : rows())
        EXPECT_TRUE(row->dataItem()->read());
    flow().markAllUnread();
    manager->mergeSync();
    EXPECT_FALSE(rows().constFirst()->dataItem()->read());
}

} // namespace
