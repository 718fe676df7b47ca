#include "ticker/bar/buttonrowlayout.h"
#include "ticker/bar/verticallayout.h"
#include "ticker/bar/windowplacement.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

TEST(ButtonRowLayoutTest, sevenButtonsOfTwentyInABarOfTwoHundredStandSixFromEitherEdgeWithEqualGaps)
{
    QList<int> xs;
    for (int k = 0; k < 7; ++k)
        xs.append(ButtonRowLayout::x(k, 7, 20, 200));
    EXPECT_EQ(xs, (QList<int>{6, 34, 62, 90, 118, 146, 174}));
    EXPECT_EQ(ButtonRowLayout::x(5, 6, 20, 200) + 20, 194) << "the free window's six end at the same place";
}

using Operation = VerticalLayout::Operation;

struct LayoutRow {
    Operation operation;
    bool counter;
    bool search;
    int height; // for a search field at y 570, 22 high
};

class VerticalLayoutTest : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(VerticalLayoutTest, theScrollViewReachesAsFarAsTheTableSays)
{
    const LayoutRow row = GetParam();
    EXPECT_EQ(VerticalLayout::scrollHeight(row.operation, row.counter, row.search, QRect(5, 570, 240, 22)),
              row.height);
}

INSTANTIATE_TEST_SUITE_P(Table, VerticalLayoutTest,
                         ::testing::Values(LayoutRow{Operation::SearchFieldFlip, false, true, 565},
                                           LayoutRow{Operation::SearchFieldFlip, false, false, 592},
                                           LayoutRow{Operation::SearchFieldFlip, true, true, 545},
                                           LayoutRow{Operation::SearchFieldFlip, true, false, 572},
                                           LayoutRow{Operation::Fix, false, true, 565},
                                           LayoutRow{Operation::Fix, false, false, 592},
                                           LayoutRow{Operation::Fix, true, true, 540},
                                           LayoutRow{Operation::Fix, true, false, 567},
                                           LayoutRow{Operation::CounterAppearing, true, true, 550},
                                           LayoutRow{Operation::CounterAppearing, true, false, 572},
                                           LayoutRow{Operation::CounterDisappearing, false, true, 570},
                                           LayoutRow{Operation::CounterDisappearing, false, false, 592}));

TEST(WindowPlacementTest, theDockedBarSpansTheAvailableHeightAtTheChosenEdgeAndKeepsItsWidth)
{
    const QRect available(1920, 24, 1280, 1000); // a panel of 24 along the top
    const QRect current(100, 100, 250, 300);
    EXPECT_EQ(WindowPlacement::dockedFrame(available, current, WindowPlacement::Left),
              QRect(1920, 24, 250, 1000));
    EXPECT_EQ(WindowPlacement::dockedFrame(available, current, WindowPlacement::Right),
              QRect(2950, 24, 250, 1000));
    EXPECT_EQ(WindowPlacement::dockedFrame(available, current, WindowPlacement::Free), current);
}

} // namespace
