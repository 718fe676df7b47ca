#include "ticker/bar/buttonrowlayout.h"

#include <cmath>

int ButtonRowLayout::x(int k, int count, int buttonWidth, int windowWidth)
{
    if (count < 2)
        return margin;
    const double gap = double(windowWidth - 2 * margin - count * buttonWidth) / (count - 1);
    return margin + int(std::lround(k * (gap + buttonWidth)));
}
