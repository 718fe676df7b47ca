#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <ostream>

inline void PrintTo(const QColor &color, std::ostream *out)
{
    *out << "rgba(" << color.red() << ", " << color.green() << ", " << color.blue() << ", " << color.alpha()
         << ")";
}

// A translucent window, as the bar is, to hold the widgets under test.
class TranslucentWindow : public QWidget {
public:
    TranslucentWindow() { setAttribute(Qt::WA_TranslucentBackground); }
};

// A widget as it shows in its window, as straight (not premultiplied) ARGB for reading colours.
// The window is grabbed: only a translucent window keeps the alpha its widgets paint with.
inline QImage grabbed(QWidget &widget)
{
    QWidget *window = widget.window();
    const QRect area(widget.mapTo(window, QPoint(0, 0)), widget.size());
    return window->grab(area).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colour at a point given in device-independent pixels.
inline QColor colorAt(const QImage &image, const QPointF &point)
{
    return image.pixelColor((point * image.devicePixelRatio()).toPoint());
}

// How many pixels are neither fully transparent nor fully opaque: a blurred edge has many.
inline int partlyTransparentPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) % 255 != 0;
    return count;
}
