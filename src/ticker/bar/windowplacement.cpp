#include "ticker/bar/windowplacement.h"

// Panels of this desktop stand at the top or the bottom, and both shrink the available area:
// the bar spans the available height so that it neither hides a bottom panel nor hides behind it.
QRect WindowPlacement::dockedFrame(const QRect &available, const QRect &current, int location)
{
    if (!isDocked(location))
        return current;
    const int width = current.width();
    const int x = location == Left ? available.x() : available.x() + available.width() - width;
    return {x, available.y(), width, available.height()};
}
