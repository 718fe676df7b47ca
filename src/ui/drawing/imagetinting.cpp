#include "ui/drawing/imagetinting.h"

#include "ui/drawing/tintediconengine.h"

#include <QPainter>

QIcon ImageTinting::imageNamed(const QString &name, const QColor &color, const QString &alternateName)
{
    return QIcon(new TintedIconEngine(name, alternateName, color.toRgb()));
}

QImage ImageTinting::tinted(const QImage &image, const QColor &color)
{
    if (image.isNull())
        return image;
    QImage copy = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&copy);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(QRectF(QPointF(0, 0), copy.deviceIndependentSize()), color.toRgb());
    return copy;
}
