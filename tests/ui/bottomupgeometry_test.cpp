#include "ui/drawing/bottomupgeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(BottomUpGeometryTest, aRectangleMeasuredFromTheBottomEdgeLandsAtTheSameDistanceFromIt)
{
    const BottomUpGeometry window(800);
    // A 25-high button row 4 above the bottom edge of an 800-high window.
    EXPECT_EQ(window.rect(10, 4, 60, 25), QRect(10, 771, 60, 25));
    EXPECT_EQ(window.rect(window.rect(10, 4, 60, 25)), QRect(10, 4, 60, 25));
    EXPECT_EQ(window.rect(QRectF(0.5, 4.25, 10, 2)), QRectF(0.5, 793.75, 10, 2));
    EXPECT_EQ(window.point(QPoint(3, 0)), QPoint(3, 800));
}

TEST(BottomUpGeometryTest, anglesTurnCounterClockwiseAndUpIsTowardsTheTop)
{
    EXPECT_EQ(BottomUpGeometry::direction(0), QPointF(1, 0));
    EXPECT_EQ(BottomUpGeometry::direction(90), QPointF(0, -1));
    EXPECT_EQ(BottomUpGeometry::direction(180), QPointF(-1, 0));
    EXPECT_EQ(BottomUpGeometry::direction(270), QPointF(0, 1));
}

} // namespace
