#pragma once

#include <QPointer>
#include <QWidget>

class QTimer;

// The small window that stands in for the pointer while the user drags the bar's width from
// its inner edge. It shows a left-right resize cursor, follows the pointer (every 10 ms and on
// every move) while the system cursor is hidden, and a drag with the primary button resizes
// the controlled window between 117 and 600 pixels wide. At the screen's left side the bar's
// right edge follows the pointer; elsewhere its left edge does and its right edge stays put.
class FakeCursorWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 117;
    static constexpr int maximumWidth = 600;
    static constexpr int followIntervalMs = 10;
    // How far (in pixels) the pointer may stray from the edge being dragged before the fake
    // cursor gives the pointer back, unless the primary button is held.
    static constexpr int proximity = 4;

    // `contentRect` in Qt's screen coordinates; the window moves under the pointer when shown.
    explicit FakeCursorWindow(const QRect &contentRect, QWidget *controlledWindow = nullptr);
    ~FakeCursorWindow() override;

    // The window whose width the drag changes. Not owned.
    QWidget *controlledWindow() const { return m_controlledWindow; }
    void setControlledWindow(QWidget *window) { m_controlledWindow = window; }

    // Starts the fake-cursor mode: the window shows under the pointer, the system cursor is
    // hidden over the application's windows, and a timer keeps the window on the pointer.
    // Does nothing when the mode is on.
    void hideCursor();
    // Ends the fake-cursor mode; does nothing when it is off.
    void showCursor();
    // Whether the fake cursor shows in place of the system one.
    bool isCursorHidden() const { return m_hidden; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void mouseMoved(const QPoint &pointer);
    void mouseDragged(const QPoint &pointer);
    void mouseExited();
    void centreOn(const QPoint &pointer);
    // The pointer's distance (x only) from the controlled window's edge that a drag moves.
    int distanceFromDraggedEdge(const QPoint &pointer) const;
    bool touchesScreenLeftSide(const QRect &frame) const;
    QRect visibleFrame() const;

    bool m_hidden = false;
    QPointer<QWidget> m_controlledWindow;
    QTimer *m_cursorTimer = nullptr;
};
