#include "ticker/bar/verticallayout.h"

int VerticalLayout::scrollHeight(Operation operation, bool counterPresent, bool searchShown,
                                 const QRect &searchFrame)
{
    const int below = searchFrame.y();
    const int top = searchFrame.y() + searchFrame.height();
    switch (operation) {
    case Operation::SearchFieldFlip:
        if (!counterPresent)
            return searchShown ? below - 5 : top;
        return searchShown ? below - 5 - counterHeight : top - counterHeight;
    case Operation::Fix:
        if (!counterPresent)
            return searchShown ? below - 5 : top;
        return searchShown ? below - 10 - counterHeight : top - 5 - counterHeight;
    case Operation::CounterAppearing:
        return searchShown ? below - counterHeight : top - counterHeight;
    case Operation::CounterDisappearing:
        return searchShown ? below : top;
    }
    return top;
}
