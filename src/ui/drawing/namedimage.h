#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The windows' built-in images: vector drawings in the resources, looked up by name
// ("search", "share-icon", ...) and rendered at the resolution they are shown at, so they stay
// crisp at any device pixel ratio.
class NamedImage {
public:
    // The image's own size in device-independent pixels; empty when there is no such image.
    static QSize size(const QString &name);

    // The image drawn into `size` device-independent pixels at `devicePixelRatio`: a
    // premultiplied ARGB image of size × ratio pixels carrying that ratio. A null image (and a
    // warning naming it) when there is no such image.
    static QImage render(const QString &name, const QSize &size, qreal devicePixelRatio = 1.0);

    // The image at its own size.
    static QImage render(const QString &name, qreal devicePixelRatio = 1.0);
};
