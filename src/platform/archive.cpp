#include "platform/archive.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <bit>
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
    const float components[4] = {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
    QByteArray blob(colorMagic, colorMagicSize);
    blob.append(char(colorVersion));
    for (float component : components) {
        char bytes[4];
        qToBigEndian<quint32>(std::bit_cast<quint32>(component), bytes);
        blob.append(bytes, 4);
    }
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
    // Decoded by hand: colours are read on every row redraw.
    if (blob.size() != colorBlobSize || !blob.startsWith(QByteArrayView(colorMagic, colorMagicSize)) ||
        quint8(blob[colorMagicSize]) != colorVersion)
        return {};
    float components[4];
    for (int i = 0; i < 4; ++i) {
        const quint32 bits = qFromBigEndian<quint32>(blob.constData() + colorMagicSize + 1 + 4 * i);
        components[i] = std::bit_cast<float>(bits);
        if (!isComponent(components[i]))
            return {};
    }
    return QColor::fromRgbF(components[0], components[1], components[2], components[3]);
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
