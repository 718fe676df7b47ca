#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

// Recolouring of the bar's monochrome images: the colour replaces the image's colours wherever
// the image is not transparent and keeps its alpha (a source-atop fill).
class ImageTinting {
public:
    // The named built-in image (see NamedImage) tinted with `color`, as an icon that renders
    // at whatever size and device pixel ratio it is drawn. With an alternate name, the icon's
    // On state (a checked button) shows that image instead.
    static QIcon imageNamed(const QString &name, const QColor &color, const QString &alternateName = {});

    // A tinted copy of `image`, same size and device pixel ratio.
    static QImage tinted(const QImage &image, const QColor &color);
};
