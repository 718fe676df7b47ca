#pragma once

#include <QRect>

// The bar's column, from the bottom of the window upwards: the list's scroll view from y 0, the
// unseen counter above it while there are unseen headlines, the search field at the top. How far
// the scroll view reaches depends on who lays it out; the numbers are the bar's own and are kept
// as they are, y growing upwards.
class VerticalLayout {
public:
    enum class Operation {
        SearchFieldFlip,     // the search field shows or hides
        Fix,                 // the whole column is laid out again (start, resize)
        CounterAppearing,    // the first unseen headline arrives
        CounterDisappearing, // the last unseen headline was seen
    };

    static constexpr int counterHeight = 20;

    // The scroll view's height H for `searchFrame` (bottom-up in the window's content).
    static int scrollHeight(Operation operation, bool counterPresent, bool searchShown,
                            const QRect &searchFrame);
};
