#include "ticker/rows/droppedimage.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString noData = u"Error: MyNSView zPasteboardData == nil"_s;
const QString notAnImage = u"Error: MyNSView performDragOperation zNewImage == nil"_s;

// The image types a drag may carry, TIFF first as the desktop's richest form.
QStringList imageTypes()
{
    QStringList types{u"image/tiff"_s};
    for (const QByteArray &type : QImageReader::supportedMimeTypes()) {
        const QString name = QString::fromLatin1(type);
        if (!types.contains(name))
            types.append(name);
    }
    return types;
}

QString firstImageType(const QMimeData &data)
{
    for (const QString &type : imageTypes()) {
        if (data.hasFormat(type))
            return type;
    }
    return {};
}

QString firstLocalFile(const QMimeData &data)
{
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

bool DroppedImage::canDecode(const QMimeData &data)
{
    return data.hasImage() || !firstImageType(data).isEmpty() || !firstLocalFile(data).isEmpty();
}

QImage DroppedImage::fromMimeData(const QMimeData &data, QString *error)
{
    if (data.hasImage() || !firstImageType(data).isEmpty())
        return limited(fromImageData(data, error));
    if (!firstLocalFile(data).isEmpty())
        return limited(fromFiles(data, error));
    return {};
}

QImage DroppedImage::fromImageData(const QMimeData &data, QString *error)
{
    const QString type = firstImageType(data);
    const QByteArray bytes = type.isEmpty() ? QByteArray() : data.data(type);
    if (!bytes.isEmpty()) {
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        const QImage image = reader.read();
        if (image.isNull())
            *error = notAnImage;
        return image;
    }
    const QImage image = qvariant_cast<QImage>(data.imageData());
    if (image.isNull())
        *error = noData;
    return image;
}

QImage DroppedImage::fromFiles(const QMimeData &data, QString *error)
{
    QImageReader reader(firstLocalFile(data));
    const QImage image = reader.read();
    if (image.isNull())
        *error = notAnImage;
    return image;
}

QImage DroppedImage::limited(const QImage &image)
{
    if (image.width() <= maximumSide && image.height() <= maximumSide)
        return image;
    return image.scaled(maximumSide, maximumSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
