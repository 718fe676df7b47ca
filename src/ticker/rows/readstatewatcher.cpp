#include "ticker/rows/readstatewatcher.h"

#include "ticker/rows/dataitemview.h"

ReadStateWatcher &ReadStateWatcher::shared()
{
    static ReadStateWatcher *const watcher = new ReadStateWatcher;
    return *watcher;
}

void ReadStateWatcher::watch(DataItemView *row)
{
    m_rows.append(row);
}

void ReadStateWatcher::unwatch(DataItemView *row)
{
    m_rows.removeOne(row);
}

void ReadStateWatcher::check()
{
    for (DataItemView *row : std::as_const(m_rows))
        row->followReadState();
}
