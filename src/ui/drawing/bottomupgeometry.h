#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

// Geometry written with y growing upwards from the bottom edge of a container (the way the
// bar's layout constants are given) turned into Qt's top-down coordinates, and back. Every
// widget of the bar converts here, so the layout numbers stay as they are written.
//
// The conversion is its own inverse: the same call turns a top-down rectangle into a bottom-up one.
class BottomUpGeometry {
public:
    // A container of the given height (a widget's height, or a screen's for screen coordinates).
    explicit constexpr BottomUpGeometry(qreal containerHeight) : m_height(containerHeight) {}

    // Coordinates across the desktop, y upwards from the bottom edge of the primary screen.
    static BottomUpGeometry desktop();

    qreal height() const { return m_height; }

    QRect rect(int x, int y, int width, int height) const;
    QRect rect(const QRect &r) const { return rect(r.x(), r.y(), r.width(), r.height()); }
    QRectF rect(const QRectF &r) const;
    QPointF point(const QPointF &p) const { return {p.x(), m_height - p.y()}; }
    QPoint point(const QPoint &p) const { return {p.x(), int(m_height) - p.y()}; }

    // The unit vector at `degrees` counter-clockwise from the x axis, as a top-down direction
    // (90 degrees points up the screen, that is towards negative y).
    static QPointF direction(qreal degrees);

private:
    qreal m_height;
};
