#pragma once

#include <QRect>
#include <QWindow>

// The few X11 window-manager conventions the bar needs and Qt does not offer. Each call does
// nothing (or answers false) unless the application runs on the xcb platform.
class X11Desktop {
public:
    // Whether the application talks to an X server.
    static bool isAvailable();
    // Whether a compositing manager owns the _NET_WM_CM_S<n> selection of the default screen.
    static bool hasCompositingManager();
    // Reserves the strip the docked window covers at the left or right edge of the X screen
    // (_NET_WM_STRUT_PARTIAL and _NET_WM_STRUT), so that maximised windows stop beside it.
    // `frame` in Qt's global coordinates; `onLeft` chooses the edge.
    static void reserveEdge(QWindow *window, const QRect &frame, bool onLeft);
    static void releaseEdge(QWindow *window);
};
