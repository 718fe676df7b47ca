#include "platform/archive.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageReader>

#include <cmath>

namespace {

constexpr char colorMagic[] = "VCLR";
constexpr qsizetype colorMagicSize = 4;
constexpr quint8 colorVersion = 1;
constexpr qsizetype colorBlobSize = colorMagicSize + 1 + 4 * 4;
constexpr char pngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype pngSignatureSize = 8;

bool isComponent(float value)
{
    return std::isfinite(value) && value >= 0.0f && value <= 1.0f;
}

} // namespace

QByteArray Archive::archiveColor(const QColor &color)
{
    if (!color.isValid())
        return {};
    const QColor rgb = color.toRgb();
    QByteArray blob;
    QDataStream stream(&blob, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream.writeRawData(colorMagic, colorMagicSize);
    stream << colorVersion << float(rgb.redF()) << float(rgb.greenF()) << float(rgb.blueF())
           << float(rgb.alphaF());
    return blob;
}

QByteArray Archive::archiveImage(const QImage &image)
{
    if (image.isNull())
        return {};
    QByteArray blob;
    QBuffer buffer(&blob);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return blob;
}

QByteArray Archive::archive(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QColor:
        return archiveColor(value.value<QColor>());
    case QMetaType::QImage:
        return archiveImage(value.value<QImage>());
    default:
        return {};
    }
}

QVariant Archive::unarchive(const QByteArray &blob)
{
    if (const QColor color = unarchiveColor(blob); color.isValid())
        return color;
    if (const QImage image = unarchiveImage(blob); !image.isNull())
        return image;
    return {};
}

QColor Archive::unarchiveColor(const QByteArray &blob)
{
    if (blob.size() != colorBlobSize || !blob.startsWith(QByteArrayView(colorMagic, colorMagicSize)))
        return {};
    QDataStream stream(blob);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream.skipRawData(colorMagicSize);
    quint8 version = 0;
    float red = 0, green = 0, blue = 0, alpha = 0;
    stream >> version >> red >> green >> blue >> alpha;
    if (stream.status() != QDataStream::Ok || version != colorVersion)
        return {};
    if (!isComponent(red) || !isComponent(green) || !isComponent(blue) || !isComponent(alpha))
        return {};
    return QColor::fromRgbF(red, green, blue, alpha);
}

QImage Archive::unarchiveImage(const QByteArray &blob)
{
    if (!blob.startsWith(QByteArrayView(pngSignature, pngSignatureSize)))
        return {};
    QBuffer buffer;
    buffer.setData(blob);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    return reader.read();
}

QVariant Archive::unarchiveIfBlob(const QVariant &value)
{
    if (value.typeId() != QMetaType::QByteArray)
        return value;
    return unarchive(value.toByteArray());
}
