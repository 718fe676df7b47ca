#include "ui/drawing/namedimage.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtDebug>

// Outside any namespace, as Q_INIT_RESOURCE requires. A static library's resources are only
// registered when something calls this; every image lookup goes through here.
static void initTickerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(ui);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/ui/images/") + name + QStringLiteral(".svg");
}

QByteArray sourceOf(const QString &name)
{
    initTickerResources();
    QFile file(resourcePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

QSize NamedImage::size(const QString &name)
{
    const QByteArray source = sourceOf(name);
    if (source.isEmpty())
        return {};
    return QSvgRenderer(source).defaultSize();
}

QImage NamedImage::render(const QString &name, const QSize &size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(sourceOf(name));
    if (!renderer.isValid()) {
        qWarning("No built-in image named \"%s\"", qUtf8Printable(name));
        return {};
    }
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QImage NamedImage::render(const QString &name, qreal devicePixelRatio)
{
    return render(name, size(name), devicePixelRatio);
}
