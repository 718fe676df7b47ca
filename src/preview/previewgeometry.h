#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>

// Where the preview window goes and how its parts are laid out. Everything here is in bottom-up
// coordinates (y grows upwards: a frame's y is its bottom edge), the coordinates the layout
// numbers are written in; BottomUpGeometry converts at the edges.
class PreviewGeometry {
public:
    // The width the content is measured at.
    static constexpr int measureWidth = 300;
    // Content taller than this scrolls.
    static constexpr int scrollerThreshold = 400;
    static constexpr int maximumWindowHeight = 432;
    // The arrow keeps at least this distance to the window's top and bottom edges.
    static constexpr int arrowMargin = 30;
    // The bubble's arrow is this deep; the bubble stands this far inside the window on the other
    // sides and the content as far inside the bubble on the arrow's side.
    static constexpr int arrowDepth = 10;
    static constexpr int inset = 4;
    static constexpr int buttonY = 8;
    static constexpr int buttonSize = 16;

    // Whether the content needs the scroll bar.
    static bool needsScroller(const QSize &contentSize) { return contentSize.height() > scrollerThreshold; }

    // The window for content of that size: room for the bubble's edges, the arrow and the button
    // row, and for the scroll bar when the content scrolls; never taller than 432.
    static QSize windowSize(const QSize &contentSize);

    // The window's frame for showing content of that size beside the arrow: centred on the arrow,
    // moved into the visible frame of the screen, but never so low that the arrow comes nearer
    // than 30 to the window's bottom.
    static QRect resizedFrame(const QSize &windowSize, const QPoint &arrow, bool arrowOnLeft,
                              const QRect &visibleFrame);

    // The frame that keeps the arrow at least 30 inside the window's top and bottom edges and puts
    // the window's edge at the arrow's x.
    static QRect followedFrame(const QRect &frame, const QPoint &arrow, bool arrowOnLeft);
    // A window whose top stands above the screen, or whose arrow points below it, closes.
    static bool leavesScreen(const QRect &frame, const QPoint &arrow, const QRect &screenFrame);

    // The HTML view inside a window of that size: beside the arrow, above the button row.
    static QRect webViewFrame(const QSize &windowSize, bool arrowOnLeft);

    struct ButtonFrames {
        QRect open;
        QRect share;
        QRect close;
    };
    // Open and share next to each other on the side away from the close button; the close button
    // on the arrow's far side.
    static ButtonFrames buttonFrames(const QSize &windowSize, bool arrowOnLeft);
};
