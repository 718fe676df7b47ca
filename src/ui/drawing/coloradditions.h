#pragma once

#include <QColor>

// Colour arithmetic for the bar's hover and text shades.
class ColorAdditions {
public:
    // Same hue, saturation and alpha, brightness (HSB value) lowered by `level` and kept at 0
    // or more; callers pass 0.1, 0.3 and 0.4. An invalid colour stays invalid.
    static QColor darkerWithLevel(const QColor &color, double level);

    // A shade that stands out from the colour: one step darker for a light colour (brightness
    // above 0.7), else the colour blended 30 % towards the palette's light (bevel highlight)
    // colour, alpha included.
    static QColor highlight(const QColor &color);

    // Each component, alpha included, moved `fraction` of the way from `from` to `to`.
    static QColor blended(const QColor &from, double fraction, const QColor &to);
};
