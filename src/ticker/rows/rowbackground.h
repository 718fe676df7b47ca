#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

// A row's background colour. Without a gradient (a negative angle) the colour is laid over what
// is behind. With one, the row shows the slice of its colour's window-sized gradient (see
// GradientCache) that lies behind it, in place of what is behind, so that the rows together show
// one gradient across the window.
class RowBackground {
public:
    static void fill(QPainter &painter, const QWidget &row, const QColor &color, const QRect &rect,
                     float angle, double opacity);
};
