#pragma once

// What the application shell needs of the ticker bar window.
class TickerWindow {
public:
    virtual ~TickerWindow() = default;

    virtual bool isVisible() const = 0;
    // Shows the window above the others and gives it the focus.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    // With a presence the window has a taskbar entry of its own; without one it is a tool window
    // that the tray icon stands for.
    virtual void setTaskbarPresence(bool present) = 0;
};
