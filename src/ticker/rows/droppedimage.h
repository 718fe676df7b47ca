#pragma once

#include <QImage>
#include <QString>

class QMimeData;

// An image the user drags onto a row's icon: the drag's image data (PNG, JPEG, TIFF, GIF, ICO and
// the other formats Qt reads), else the first dropped file read as an image. Images larger than
// maximumSide on a side are scaled down, keeping their proportions: they end up in the settings.
class DroppedImage {
public:
    static constexpr int maximumSide = 512;

    // Whether the drag offers image data or a local file.
    static bool canDecode(const QMimeData &data);

    // The image; a null image when there is none, with `error` saying why when the drag offered
    // image data or a file that gave no image.
    static QImage fromMimeData(const QMimeData &data, QString *error);

private:
    static QImage fromImageData(const QMimeData &data, QString *error);
    static QImage fromFiles(const QMimeData &data, QString *error);
    static QImage limited(const QImage &image);
};
