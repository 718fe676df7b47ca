#include "common/steppinganimationdriver.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"
#include "ui/animation/viewalpha.h"

#include "common/pixels.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int rowHeight = 30;

// A list of solid-coloured rows in the bar's scroll area, 100 × 100 pixels; row i (1 = bottom)
// is placed as the bar places it.
class ListViewTest : public ::testing::Test {
protected:
    ListViewTest()
    {
        window.resize(100, 100);
        clip->resize(100, 100);
        clip->setDocumentView(list);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget *addRow(int i, const QColor &color)
    {
        auto *row = new QWidget;
        row->setAutoFillBackground(true);
        QPalette palette = row->palette();
        palette.setColor(QPalette::Window, color);
        row->setPalette(palette);
        list->setSubviewFrame(row, QRect(0, (i - 1) * rowHeight, list->width(), rowHeight));
        row->show();
        return row;
    }
    QWidget *fill(int count)
    {
        list->setFrameSize(QSize(100, count * rowHeight));
        QWidget *top = nullptr;
        for (int i = 1; i <= count; ++i)
            top = addRow(i, QColor::fromHsv(i * 30, 255, 255));
        return top;
    }
    QRgb seen(int x, int y) { return colorAt(grabbed(*clip), QPointF(x, y)).rgba(); }

    SteppingAnimationDriver clock;
    TranslucentWindow window;
    FlippedClipView *clip = new FlippedClipView(&window);
    ListView *list = new ListView;
};

TEST_F(ListViewTest, rowsStackFromTheBottomAndTheScrollAreaShowsTheTopFirstThenScrollsDown)
{
    QWidget *top = fill(10);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 100, rowHeight));
    EXPECT_EQ(list->subviewFrame(top), QRect(0, 9 * rowHeight, 100, rowHeight));
    EXPECT_EQ(list->visibleRect(), QRect(0, 200, 100, 100));
    EXPECT_EQ(seen(50, 15), QColor::fromHsv(300, 255, 255).rgba());

    QSignalSpy bounds(clip, &FlippedClipView::boundsDidChange);
    clip->scrollToPoint(QPoint(0, 50));
    EXPECT_EQ(bounds.count(), 1);
    EXPECT_EQ(clip->documentVisibleRect(), QRect(0, 50, 100, 100));
    EXPECT_EQ(list->visibleRect(), QRect(0, 150, 100, 100));
}

TEST_F(ListViewTest, resizingKeepsRowsOnTheBottomEdgeAndFollowsTheWidth)
{
    fill(3);
    QWidget *bottom = list->childAt(QPoint(5, 2 * rowHeight + 5));
    list->setFrameSize(QSize(120, 4 * rowHeight));
    EXPECT_EQ(bottom->geometry(), QRect(0, 3 * rowHeight, 120, rowHeight));
    EXPECT_EQ(list->subviewFrame(bottom), QRect(0, 0, 120, rowHeight));
}

TEST_F(ListViewTest, growingPushesTheRowsDownForOneSecondThenFadesTheNewRowIn)
{
    fill(3);
    QWidget *newest = addRow(4, Qt::white);
    EXPECT_EQ(newest->geometry().y(), -rowHeight);
    ViewAlpha::set(newest, 0.0);
    list->setResizeTarget(newest);
    list->setAnimating(true);
    list->animateFrameSize(QSize(100, 4 * rowHeight));
    EXPECT_TRUE(list->isAnimating());

    clock.advanceBy(250);
    const int quarter = list->height() - 3 * rowHeight;
    EXPECT_GT(quarter, 0);
    EXPECT_LT(quarter, rowHeight / 4); // eases in
    clock.advanceBy(250);
    EXPECT_NEAR(list->height(), 3 * rowHeight + rowHeight / 2, 1);
    EXPECT_EQ(newest->geometry().bottom(), list->height() - 3 * rowHeight - 1);
    clock.advanceBy(250);
    EXPECT_GT(list->height() - 3 * rowHeight, rowHeight * 3 / 4); // eases out
    EXPECT_TRUE(list->isAnimating());
    EXPECT_EQ(ViewAlpha::of(newest), 0.0);

    clock.advanceBy(250);
    EXPECT_EQ(list->height(), 4 * rowHeight);
    EXPECT_FALSE(list->isAnimating());
    EXPECT_EQ(list->resizeTarget(), nullptr);
    EXPECT_EQ(newest->geometry(), QRect(0, 0, 100, rowHeight));
    EXPECT_EQ(qAlpha(seen(50, 15)), 0) << std::hex << seen(50, 15);

    clock.advanceBy(250);
    EXPECT_EQ(ViewAlpha::of(newest), 1.0);
    EXPECT_EQ(seen(50, 15), QColor(Qt::white).rgba());
    EXPECT_EQ(seen(50, 45), QColor::fromHsv(90, 255, 255).rgba());
}

TEST_F(ListViewTest, anAnimationCutShortStillFadesItsTargetIn)
{
    fill(3);
    QWidget *newest = addRow(4, Qt::white);
    ViewAlpha::set(newest, 0.0);
    list->setResizeTarget(newest);
    list->animateFrameSize(QSize(100, 4 * rowHeight));
    clock.advanceBy(300);
    list->animateFrameSize(QSize(100, 5 * rowHeight));
    EXPECT_EQ(list->resizeTarget(), nullptr);
    EXPECT_TRUE(list->isAnimating());
    clock.advanceBy(250);
    EXPECT_EQ(ViewAlpha::of(newest), 1.0);
    clock.advanceBy(1000);
    EXPECT_EQ(list->height(), 5 * rowHeight);
    EXPECT_FALSE(list->isAnimating());
}

} // namespace
