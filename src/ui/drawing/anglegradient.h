#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QRectF>

// A two-colour linear gradient across a rectangle at an angle in degrees, counter-clockwise
// from the x axis with y growing upwards: 0 runs left to right, 90 bottom to top. The ends
// of the gradient line are where the rectangle's outermost corners project onto it, so the
// start colour is reached exactly at the first corner and the end colour at the opposite one.
class AngleGradient {
public:
    static QLinearGradient linear(const QRectF &rect, qreal degrees, const QColor &start, const QColor &end);
};
