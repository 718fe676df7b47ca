#include "ui/drawing/bottomupgeometry.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <numbers>

BottomUpGeometry BottomUpGeometry::desktop()
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    return BottomUpGeometry(primary ? primary->geometry().height() : 0);
}

QRect BottomUpGeometry::rect(int x, int y, int width, int height) const
{
    return {x, int(m_height) - y - height, width, height};
}

QRectF BottomUpGeometry::rect(const QRectF &r) const
{
    return {r.x(), m_height - r.y() - r.height(), r.width(), r.height()};
}

QPointF BottomUpGeometry::direction(qreal degrees)
{
    const qreal radians = degrees * std::numbers::pi / 180.0;
    // Exact zeros on the axes, so that a horizontal gradient has no vertical drift.
    const auto clean = [](qreal v) { return std::abs(v) < 1e-12 ? 0.0 : v; };
    return {clean(std::cos(radians)), clean(-std::sin(radians))};
}
