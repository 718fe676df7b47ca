#include "ui/drawing/tintediconengine.h"

#include "ui/drawing/imagetinting.h"
#include "ui/drawing/namedimage.h"

#include <QPainter>

namespace {

// Enough for every button size and state the bar uses, small enough to never matter.
constexpr qsizetype maxCachedPixmaps = 16;

} // namespace

TintedIconEngine::TintedIconEngine(const QString &name, const QString &alternateName, const QColor &color)
    : m_name(name), m_alternateName(alternateName), m_color(color)
{
}

void TintedIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State state)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, render(rect.size() * ratio, ratio, state));
}

QPixmap TintedIconEngine::pixmap(const QSize &size, QIcon::Mode, QIcon::State state)
{
    return render(size, 1.0, state);
}

QSize TintedIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    return size;
}

QIconEngine *TintedIconEngine::clone() const
{
    return new TintedIconEngine(m_name, m_alternateName, m_color);
}

QString TintedIconEngine::key() const
{
    return QStringLiteral("TintedIconEngine");
}

bool TintedIconEngine::isNull()
{
    return NamedImage::size(m_name).isEmpty();
}

QString TintedIconEngine::imageName(QIcon::State state) const
{
    return state == QIcon::On && !m_alternateName.isEmpty() ? m_alternateName : m_name;
}

QPixmap TintedIconEngine::render(const QSize &pixelSize, qreal devicePixelRatio, QIcon::State state)
{
    const QString name = imageName(state);
    const QString cacheKey = name + QLatin1Char('@') + QString::number(pixelSize.width()) + QLatin1Char('x') +
                             QString::number(pixelSize.height());
    if (const auto cached = m_cache.constFind(cacheKey); cached != m_cache.cend()) {
        QPixmap pixmap = *cached;
        pixmap.setDevicePixelRatio(devicePixelRatio);
        return pixmap;
    }
    const QImage image = ImageTinting::tinted(NamedImage::render(name, pixelSize), m_color);
    QPixmap pixmap = QPixmap::fromImage(image);
    if (m_cache.size() >= maxCachedPixmaps)
        m_cache.clear();
    m_cache.insert(cacheKey, pixmap);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}
