#include "ticker/rows/gradientcache.h"

#include "ui/drawing/anglegradient.h"

#include <QPainter>

GradientCache &GradientCache::shared()
{
    static GradientCache cache;
    return cache;
}

const QImage &GradientCache::image(const QColor &color, double opacity, float angle, const QSize &contentSize,
                                   qreal devicePixelRatio)
{
    if (contentSize != m_contentSize || devicePixelRatio != m_devicePixelRatio || angle != m_angle) {
        clear();
        m_contentSize = contentSize;
        m_devicePixelRatio = devicePixelRatio;
        m_angle = angle;
    }
    const QRgba64 key = color.rgba64();
    for (const Entry &entry : m_entries) {
        if (entry.color == key && entry.opacity == opacity) {
            ++m_statistics.hits;
            return entry.image;
        }
    }
    ++m_statistics.misses;
    if (count() >= maximumColors)
        clear();
    m_entries.push_back({key, opacity, render(color, opacity, angle, contentSize, devicePixelRatio)});
    return m_entries.back().image;
}

void GradientCache::clear()
{
    m_entries.clear();
}

QImage GradientCache::render(const QColor &color, double opacity, float angle, const QSize &contentSize,
                             qreal devicePixelRatio)
{
    QImage image(contentSize * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QColor start = color.toRgb();
    start.setAlphaF(float(opacity));
    QColor end = start;
    end.setAlphaF(0);
    QPainter painter(&image);
    const QRectF frame(QPointF(0, 0), QSizeF(contentSize));
    painter.fillRect(frame, AngleGradient::linear(frame, angle, start, end));
    return image;
}
