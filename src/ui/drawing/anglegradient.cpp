#include "ui/drawing/anglegradient.h"

#include "ui/drawing/bottomupgeometry.h"

#include <cmath>

QLinearGradient AngleGradient::linear(const QRectF &rect, qreal degrees, const QColor &start,
                                      const QColor &end)
{
    const QPointF direction = BottomUpGeometry::direction(degrees);
    const qreal halfLength =
        (rect.width() * std::abs(direction.x()) + rect.height() * std::abs(direction.y())) / 2.0;
    const QPointF centre = rect.center();
    QLinearGradient gradient(centre - direction * halfLength, centre + direction * halfLength);
    gradient.setColorAt(0.0, start);
    gradient.setColorAt(1.0, end);
    return gradient;
}
