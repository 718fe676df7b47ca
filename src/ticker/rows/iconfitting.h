#pragma once

#include <QRectF>
#include <QSizeF>

// Where a feed icon is drawn inside its rectangle. An icon wider or taller than the rectangle is
// scaled down keeping its proportions: the limiting side fills the rectangle, the other side is
// floor(size × scale) and centred, the offset floored. A smaller icon keeps its size and is
// centred, its origin floored. Both rectangles have y growing upwards, as the row's layout.
class IconFitting {
public:
    static QRectF fit(const QSizeF &iconSize, const QRectF &target);
};
