#include "ticker/rows/gradientcache.h"

#include "ui/drawing/anglegradient.h"

#include <QPainter>

GradientCache &GradientCache::shared()
{
    static GradientCache cache;
    return cache;
}

const QImage *GradientCache::image(const QColor &color, double opacity, float angle, const QSize &contentSize,
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
            return &entry.image;
        }
    }
    if (count() >= maximumColors) {
        ++m_statistics.uncached;
        return nullptr;
    }
    ++m_statistics.misses;
    m_entries.push_back({key, opacity, render(color, opacity, angle, contentSize, devicePixelRatio)});
    return &m_entries.back().image;
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
    QPainter painter(&image);
    const QRectF frame(QPointF(0, 0), QSizeF(contentSize));
    painter.fillRect(frame, gradient(color, opacity, angle, contentSize));
    return image;
}

QLinearGradient GradientCache::gradient(const QColor &color, double opacity, float angle,
                                        const QSize &contentSize)
{
    QColor start = color.toRgb();
    start.setAlphaF(float(opacity));
    QColor end = start;
    end.setAlphaF(0);
    return AngleGradient::linear(QRectF(QPointF(0, 0), QSizeF(contentSize)), angle, start, end);
}
