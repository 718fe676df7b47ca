#pragma once

#include <QRect>

// Where the docked bar stands on a screen: at its left (location 0) or right (location 1) edge,
// over the screen's whole available height, keeping its width. Qt's screen coordinates.
class WindowPlacement {
public:
    enum Location { Left = 0, Right = 1, Free = 2 };

    static bool isDocked(int location) { return location == Left || location == Right; }

    // The frame for `current` docked on a screen with the available geometry `available`.
    // A free window keeps `current`.
    static QRect dockedFrame(const QRect &available, const QRect &current, int location);
};
