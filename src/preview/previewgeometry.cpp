#include "preview/previewgeometry.h"

#include <algorithm>

namespace {

// Content wider than this (a table of fixed width) scrolls sideways instead of widening the
// window past any screen.
constexpr int maximumContentWidth = 2 * PreviewGeometry::measureWidth;
// Room for the scroll bar beside content that scrolls.
constexpr int scrollerWidth = 24;
// Below the content: the button row.
constexpr int buttonRowHeight = 28;
// The bubble's top edge above the content.
constexpr int topMargin = PreviewGeometry::inset;
constexpr int buttonGap = 8;

} // namespace

QSize PreviewGeometry::windowSize(const QSize &contentSize)
{
    const int contentWidth = std::min(contentSize.width(), maximumContentWidth);
    int width = contentWidth + inset + arrowDepth + inset + inset;
    if (needsScroller(contentSize))
        width += scrollerWidth;
    const int height = std::min(maximumWindowHeight, contentSize.height() + buttonRowHeight + topMargin);
    return {width, height};
}

QRect PreviewGeometry::resizedFrame(const QSize &windowSize, const QPoint &arrow, bool arrowOnLeft,
                                    const QRect &visibleFrame)
{
    const int width = windowSize.width();
    const int height = windowSize.height();
    const int x = arrowOnLeft ? arrow.x() : arrow.x() - width;
    int y = arrow.y() - height / 2;

    const int visibleTop = visibleFrame.y() + visibleFrame.height();
    if (y + height > visibleTop)
        y -= y + height - visibleTop;
    if (y < visibleFrame.y())
        y = std::min(visibleFrame.y(), arrow.y() - arrowMargin);
    return {x, y, width, height};
}

QRect PreviewGeometry::followedFrame(const QRect &frame, const QPoint &arrow, bool arrowOnLeft)
{
    int y = frame.y();
    if (arrow.y() > y + frame.height() - arrowMargin)
        y = arrow.y() + arrowMargin - frame.height();
    if (y + arrowMargin > arrow.y())
        y = arrow.y() - arrowMargin;
    const int x = arrowOnLeft ? arrow.x() : arrow.x() - frame.width();
    return {x, y, frame.width(), frame.height()};
}

bool PreviewGeometry::leavesScreen(const QRect &frame, const QPoint &arrow, const QRect &screenFrame)
{
    const bool topAboveScreen = frame.y() + frame.height() > screenFrame.y() + screenFrame.height();
    const bool arrowBelowScreen = arrow.y() < screenFrame.y();
    return topAboveScreen || arrowBelowScreen;
}

QRect PreviewGeometry::webViewFrame(const QSize &windowSize, bool arrowOnLeft)
{
    const int x = arrowOnLeft ? inset + arrowDepth : inset;
    return {x, buttonRowHeight, windowSize.width() - inset - arrowDepth,
            windowSize.height() - buttonRowHeight - topMargin};
}

PreviewGeometry::ButtonFrames PreviewGeometry::buttonFrames(const QSize &windowSize, bool arrowOnLeft)
{
    const int width = windowSize.width();
    int openX = 0;
    int shareX = 0;
    int closeX = 0;
    if (arrowOnLeft) {
        openX = 22;
        shareX = openX + buttonSize + buttonGap;
        closeX = width - 12 - buttonSize;
    } else {
        openX = width - 26 - buttonSize;
        shareX = openX - buttonGap - buttonSize;
        closeX = 12;
    }
    const auto frame = [](int x) { return QRect(x, buttonY, buttonSize, buttonSize); };
    return {frame(openX), frame(shareX), frame(closeX)};
}
