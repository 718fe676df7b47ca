#include "preview/previewgeometry.h"

#include <gtest/gtest.h>

// Frames are bottom-up: (x, y, width, height) with y the bottom edge.

TEST(PreviewGeometryTest, aWindowHasRoomForTheEdgesTheArrowAndTheButtonRowAndScrollsPast400)
{
    EXPECT_EQ(PreviewGeometry::windowSize(QSize(300, 200)), QSize(322, 232));
    EXPECT_FALSE(PreviewGeometry::needsScroller(QSize(300, 200)));
    EXPECT_FALSE(PreviewGeometry::needsScroller(QSize(300, 400)));
    EXPECT_EQ(PreviewGeometry::windowSize(QSize(300, 400)), QSize(322, 432));

    EXPECT_TRUE(PreviewGeometry::needsScroller(QSize(300, 401)));
    EXPECT_EQ(PreviewGeometry::windowSize(QSize(300, 600)), QSize(346, 432));
    // A table of fixed width does not carry the window off the screen.
    EXPECT_EQ(PreviewGeometry::windowSize(QSize(5000, 100)).width(), 622);
}

TEST(PreviewGeometryTest, theWindowIsCentredOnTheArrowBesideTheBar)
{
    const QRect visible(0, 0, 1920, 1080);
    EXPECT_EQ(PreviewGeometry::resizedFrame(QSize(322, 232), QPoint(300, 500), true, visible),
              QRect(300, 384, 322, 232));
    EXPECT_EQ(PreviewGeometry::resizedFrame(QSize(322, 232), QPoint(1620, 500), false, visible),
              QRect(1298, 384, 322, 232));
}

TEST(PreviewGeometryTest, nearTheScreensEdgesTheWindowStaysOnTheVisibleFrameButKeepsTheArrow30Inside)
{
    // A panel takes the bottom 40.
    const QRect visible(0, 40, 1920, 1040);
    const QSize size(322, 232);
    // Near the top: moved down until its top meets the visible frame's top.
    EXPECT_EQ(PreviewGeometry::resizedFrame(size, QPoint(300, 1050), true, visible).y(), 1080 - 232);
    // Near the bottom: its bottom on the visible frame's bottom...
    EXPECT_EQ(PreviewGeometry::resizedFrame(size, QPoint(300, 100), true, visible).y(), 40);
    EXPECT_EQ(PreviewGeometry::resizedFrame(size, QPoint(300, 70), true, visible).y(), 40);
    // ...but never less than 30 below the arrow.
    EXPECT_EQ(PreviewGeometry::resizedFrame(size, QPoint(300, 60), true, visible).y(), 30);
    EXPECT_EQ(PreviewGeometry::resizedFrame(size, QPoint(300, 10), true, visible).y(), -20);
}

TEST(PreviewGeometryTest, followingTheRowKeepsTheArrow30InsideAndTheEdgeAtTheArrow)
{
    const QRect frame(300, 400, 322, 232); // top at 632
    EXPECT_EQ(PreviewGeometry::followedFrame(frame, QPoint(300, 500), true), frame);
    EXPECT_EQ(PreviewGeometry::followedFrame(frame, QPoint(300, 602), true), frame);
    EXPECT_EQ(PreviewGeometry::followedFrame(frame, QPoint(300, 650), true), QRect(300, 448, 322, 232));
    EXPECT_EQ(PreviewGeometry::followedFrame(frame, QPoint(300, 420), true), QRect(300, 390, 322, 232));
    EXPECT_EQ(PreviewGeometry::followedFrame(frame, QPoint(310, 500), true), QRect(310, 400, 322, 232));
    EXPECT_EQ(PreviewGeometry::followedFrame(frame, QPoint(1600, 500), false), QRect(1278, 400, 322, 232));
}

TEST(PreviewGeometryTest, aWindowAboveTheScreenOrAnArrowBelowItLeavesTheScreen)
{
    const QRect screen(0, 0, 1920, 1080);
    EXPECT_FALSE(PreviewGeometry::leavesScreen(QRect(300, 848, 322, 232), QPoint(300, 1000), screen));
    EXPECT_TRUE(PreviewGeometry::leavesScreen(QRect(300, 849, 322, 232), QPoint(300, 1000), screen));
    EXPECT_FALSE(PreviewGeometry::leavesScreen(QRect(300, -30, 322, 232), QPoint(300, 0), screen));
    EXPECT_TRUE(PreviewGeometry::leavesScreen(QRect(300, -31, 322, 232), QPoint(300, -1), screen));
}

TEST(PreviewGeometryTest, theViewStandsBesideTheArrowAboveTheButtonRow)
{
    EXPECT_EQ(PreviewGeometry::webViewFrame(QSize(322, 232), true), QRect(14, 28, 308, 200));
    EXPECT_EQ(PreviewGeometry::webViewFrame(QSize(322, 232), false), QRect(4, 28, 308, 200));
}

TEST(PreviewGeometryTest, theCloseButtonIsOnTheSideAwayFromTheArrowOpenAndShareOnTheOther)
{
    const auto left = PreviewGeometry::buttonFrames(QSize(322, 232), true);
    EXPECT_EQ(left.open, QRect(22, 8, 16, 16));
    EXPECT_EQ(left.share, QRect(46, 8, 16, 16));
    EXPECT_EQ(left.close, QRect(294, 8, 16, 16));

    const auto right = PreviewGeometry::buttonFrames(QSize(322, 232), false);
    EXPECT_EQ(right.open, QRect(280, 8, 16, 16));
    EXPECT_EQ(right.share, QRect(256, 8, 16, 16));
    EXPECT_EQ(right.close, QRect(12, 8, 16, 16));
}
