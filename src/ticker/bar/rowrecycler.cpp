#include "ticker/bar/rowrecycler.h"

#include "ticker/rows/dataitemview.h"
#include "ticker/widgets/listview.h"
#include "ui/animation/viewalpha.h"

#include <QHash>
#include <QSet>

DataItemView *RowRecycler::makeRow(ListView &list, const DataItemPtr &item, const QRect &frame) const
{
    auto *row = new DataItemView(m_context, &list);
    list.setSubviewFrame(row, frame);
    row->setDataItem(item);
    row->show();
    ++m_created;
    return row;
}

void RowRecycler::layout(ListView &list, const ItemSnapshot &items, int first, int last, int itemHeight,
                         bool scrolling, int fadeDurationMs) const
{
    const QList<DataItemView *> existing = rows(list);
    QHash<const DataItem *, DataItemView *> byItem;
    QList<DataItemView *> leaving; // views whose row lies outside the range
    for (DataItemView *row : existing) {
        if (const DataItemPtr &item = row->dataItem())
            byItem.insert(item.get(), row);
        if (row->index() < first || row->index() > last)
            leaving.append(row);
    }
    QSet<DataItemView *> collected;
    const int count = items.count();
    for (int i = first; count > 0 && i <= last; ++i) {
        const DataItemPtr &item = items.at(count - i);
        const QRect frame(0, (i - 1) * itemHeight, list.width(), itemHeight);
        DataItemView *row = byItem.value(item.get());
        if (row && (collected.contains(row) || row->dataItem() != item))
            row = nullptr;
        while (!row && !leaving.isEmpty()) {
            DataItemView *candidate = leaving.takeFirst();
            if (!collected.contains(candidate)) {
                row = candidate;
                row->setDataItem(item);
            }
        }
        if (!row)
            row = makeRow(list, item, frame);
        list.setSubviewFrame(row, frame);
        row->setIndex(i);
        collected.insert(row);
        // An entry fades in the first time a row shows it, unless the user scrolled it in. Only rows
        // laid out are marked: marking the whole list would touch every entry on each arrival.
        if (!scrolling && !item->shown()) {
            ViewAlpha::set(row, 0.0);
            ViewAlpha::animate(row, 1.0, fadeDurationMs);
        }
        item->setShown(true);
    }
    for (DataItemView *row : existing) {
        if (!collected.contains(row))
            delete row;
    }
}

QList<DataItemView *> RowRecycler::rows(const ListView &list)
{
    return list.findChildren<DataItemView *>(Qt::FindDirectChildrenOnly);
}
