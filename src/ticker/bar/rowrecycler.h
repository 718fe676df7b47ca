#pragma once

#include "model/entry/dataitem.h"
#include "ticker/bar/itemsnapshot.h"
#include "ticker/rows/rowcontext.h"

#include <QList>

class DataItemView;
class ListView;

// Fills a range of the list's rows with headline rows: only the rows asked for exist as views.
// A row keeps the view that already shows its entry; other rows take, in order, the views of
// rows that left the range, and only then new views; views not used are deleted.
//
// Row i (1 = bottom) of n shows entry n - i at y (i - 1) × row height.
class RowRecycler {
public:
    static constexpr int fadeInDurationMs = 800;

    explicit RowRecycler(const RowContext &context) : m_context(context) {}

    // A new row view for `item` at `frame` (bottom-up) in `list`.
    DataItemView *makeRow(ListView &list, const DataItemPtr &item, const QRect &frame) const;

    // Lays out rows first..last of `items`. Unless `scrolling`, rows of entries never shown
    // before fade in over `fadeDurationMs`.
    void layout(ListView &list, const ItemSnapshot &items, int first, int last, int itemHeight,
                bool scrolling, int fadeDurationMs) const;

    // The row views of the list, in no particular order.
    static QList<DataItemView *> rows(const ListView &list);

    // Counts views made since the recycler was made (for the benchmarks and tests).
    int createdCount() const { return m_created; }

private:
    RowContext m_context;
    mutable int m_created = 0;
};
