#pragma once

// Where the tool buttons of the bar stand: n buttons of equal width spread across the window,
// the first 6 pixels from the left edge, the last ending 6 pixels from the right edge, with equal
// gaps between them.
class ButtonRowLayout {
public:
    static constexpr int margin = 6;

    // The x of button `k` (0-based) of `count` buttons `buttonWidth` wide in a window `windowWidth`
    // wide. A single button stands at the margin.
    static int x(int k, int count, int buttonWidth, int windowWidth);
};
