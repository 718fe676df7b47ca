#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QVariant>

// Colours and images as byte blobs, the form in which the settings store and the feed
// configurations keep them.
//
// A colour blob is "VCLR", a format version byte (1) and the calibrated red, green, blue and
// alpha components as big-endian 32-bit floats in [0, 1]: 21 bytes. An image blob is PNG.
class Archive {
public:
    static QByteArray archiveColor(const QColor &color);
    // PNG bytes; empty for a null image.
    static QByteArray archiveImage(const QImage &image);
    // The blob of a QColor or QImage value; an empty array for any other value.
    static QByteArray archive(const QVariant &value);

    // A QColor or a QImage; an invalid QVariant for anything that is neither.
    static QVariant unarchive(const QByteArray &blob);
    // The colour in a blob, or an invalid QColor.
    static QColor unarchiveColor(const QByteArray &blob);
    // The image in a blob, or a null QImage.
    static QImage unarchiveImage(const QByteArray &blob);

    // A stored value read back: a blob becomes its colour or image (invalid QVariant when it is
    // neither); any other value is returned unchanged.
    static QVariant unarchiveIfBlob(const QVariant &value);
};
