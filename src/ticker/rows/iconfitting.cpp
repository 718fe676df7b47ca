#include "ticker/rows/iconfitting.h"

#include <algorithm>
#include <cmath>

QRectF IconFitting::fit(const QSizeF &iconSize, const QRectF &target)
{
    if (iconSize.isEmpty() || target.isEmpty())
        return {};
    if (iconSize.width() > target.width() || iconSize.height() > target.height()) {
        const qreal scaleX = target.width() / iconSize.width();
        const qreal scaleY = target.height() / iconSize.height();
        if (scaleX <= scaleY) {
            const qreal height = std::floor(iconSize.height() * scaleX);
            const qreal y = target.y() + std::floor((target.height() - height) * 0.5);
            return {target.x(), y, target.width(), height};
        }
        const qreal width = std::floor(iconSize.width() * scaleY);
        const qreal x = target.x() + std::floor((target.width() - width) * 0.5);
        return {x, target.y(), width, target.height()};
    }
    const qreal x = std::floor((target.width() - iconSize.width()) * 0.5 + target.x());
    const qreal y = std::floor((target.height() - iconSize.height()) * 0.5 + target.y());
    return {QPointF(x, y), iconSize};
}
