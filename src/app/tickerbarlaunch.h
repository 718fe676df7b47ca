#pragma once

// The ticker bar as the program's window: the shared manager, stars, preview, sounds and
// notifications around a MainWindowController, shown on the screen, until the application quits.
namespace TickerBarLaunch {
// Whether a display is there to open windows on (DISPLAY or WAYLAND_DISPLAY).
bool hasDisplay();
// On a Wayland session, chooses XWayland so that the bar can be placed at a screen edge (and
// says so once); call before the application object exists.
void preferPlaceableWindows();
// Runs the bar in the running QApplication; returns the application's exit status.
int run();
} // namespace TickerBarLaunch
