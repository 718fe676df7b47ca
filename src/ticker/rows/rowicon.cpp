#include "ticker/rows/rowicon.h"

#include "ticker/rows/iconfitting.h"
#include "ui/drawing/bottomupgeometry.h"
#include "ui/drawing/namedimage.h"

#include <QPainter>

namespace {

constexpr QSize builtInSize(24, 24);

} // namespace

QImage RowIcon::imageFor(const QImage &feedImage, qreal devicePixelRatio)
{
    if (!feedImage.isNull())
        return feedImage;
    static QImage builtIn;
    if (builtIn.isNull() || builtIn.devicePixelRatio() != devicePixelRatio)
        builtIn = NamedImage::render(QStringLiteral("vantrel-single"), builtInSize, devicePixelRatio);
    return builtIn;
}

void RowIcon::draw(QPainter &painter, const QImage &image, const QRect &imageRect, int rowHeight,
                   qreal devicePixelRatio)
{
    if (image.isNull())
        return;
    const QRectF fitted = IconFitting::fit(image.deviceIndependentSize(), QRectF(imageRect));
    const QRect target = BottomUpGeometry(rowHeight).rect(fitted.toRect());
    if (target.isEmpty())
        return;
    if (image.cacheKey() != m_imageKey || target != m_target || devicePixelRatio != m_devicePixelRatio) {
        const QSize pixels = (QSizeF(target.size()) * devicePixelRatio).toSize();
        m_pixmap = QPixmap::fromImage(
            image.size() == pixels ? image
                                   : image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_pixmap.setDevicePixelRatio(devicePixelRatio);
        m_imageKey = image.cacheKey();
        m_target = target;
        m_devicePixelRatio = devicePixelRatio;
    }
    painter.drawPixmap(target.topLeft(), m_pixmap);
}
