#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>

class QPainter;

// A feed's icon as a row draws it: the feed's own image, else the built-in "vantrel-single" at
// 24 × 24, fitted into the icon rectangle (see IconFitting) and drawn over what is there. The
// fitted icon is kept at the device pixel ratio until the image, the place or the ratio changes,
// so that a repaint only copies it.
class RowIcon {
public:
    // The image drawn for a feed image (null: the feed has none).
    static QImage imageFor(const QImage &feedImage, qreal devicePixelRatio);

    // Draws `image` fitted into `imageRect` (y upwards) of a row `rowHeight` high.
    void draw(QPainter &painter, const QImage &image, const QRect &imageRect, int rowHeight,
              qreal devicePixelRatio);

    // Where the last drawn icon went, in the row's top-down coordinates.
    QRect placement() const { return m_target; }

private:
    QPixmap m_pixmap;
    qint64 m_imageKey = 0;
    QRect m_target;
    qreal m_devicePixelRatio = 0;
};
