#include "ui/drawing/coloradditions.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

QColor ColorAdditions::darkerWithLevel(const QColor &color, double level)
{
    if (!color.isValid())
        return color;
    const QColor hsv = color.toRgb().toHsv();
    const float value = std::clamp(hsv.valueF() - float(level), 0.0f, 1.0f);
    return QColor::fromHsvF(hsv.hsvHueF(), hsv.hsvSaturationF(), value, hsv.alphaF()).toRgb();
}

QColor ColorAdditions::highlight(const QColor &color)
{
    if (!color.isValid())
        return color;
    if (color.toRgb().valueF() > 0.7f)
        return darkerWithLevel(color, 0.1);
    return blended(color, 0.3, QGuiApplication::palette().color(QPalette::Light));
}

QColor ColorAdditions::blended(const QColor &from, double fraction, const QColor &to)
{
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    const auto mix = [fraction](float x, float y) { return float(x + (y - x) * fraction); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                            mix(a.alphaF(), b.alphaF()));
}
