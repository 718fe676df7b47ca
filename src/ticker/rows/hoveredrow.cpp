#include "ticker/rows/hoveredrow.h"

#include "ticker/rows/dataitemview.h"

#include <QPointer>

namespace {

QPointer<DataItemView> &hovered()
{
    static QPointer<DataItemView> row;
    return row;
}

} // namespace

DataItemView *HoveredRow::current()
{
    return hovered();
}

void HoveredRow::enter(DataItemView *row)
{
    QPointer<DataItemView> &current = hovered();
    if (current && current != row)
        current->setInactive();
    current = row;
}
