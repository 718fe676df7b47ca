#pragma once

// Whether the desktop asks applications to keep animations off: GNOME's
// org.gnome.desktop.interface enable-animations, read through gsettings when it is installed.
class DesktopMotion {
public:
    // False when the desktop does not say (no gsettings, no such key, no answer within a second).
    static bool prefersReducedMotion();
};
