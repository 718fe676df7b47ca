#include "ticker/rows/rowbackground.h"

#include "ticker/rows/gradientcache.h"

#include <QPainter>
#include <QWidget>

// Slices are taken where the row is: a row reaching below the window's bottom edge shows its own
// part of the gradient, cut at the edge.
void RowBackground::fill(QPainter &painter, const QWidget &row, const QColor &color, const QRect &rect,
                         float angle, double opacity)
{
    if (angle < 0) {
        painter.fillRect(rect, color);
        return;
    }
    const QWidget *content = row.window();
    const qreal ratio = row.devicePixelRatioF();
    const QImage *gradient = GradientCache::shared().image(color, opacity, angle, content->size(), ratio);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(rect, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRect place(row.mapTo(content, rect.topLeft()), rect.size());
    const QRect behind = place & content->rect();
    if (behind.isEmpty())
        return;
    const QPoint toRow = rect.topLeft() - place.topLeft();
    if (!gradient) {
        painter.save();
        painter.translate(toRow);
        painter.fillRect(behind, GradientCache::gradient(color, opacity, angle, content->size()));
        painter.restore();
        return;
    }
    const QRectF source(QPointF(behind.topLeft()) * ratio, QSizeF(behind.size()) * ratio);
    painter.drawImage(QRectF(behind.translated(toRow)), *gradient, source);
}
