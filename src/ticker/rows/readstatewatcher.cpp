#include "ticker/rows/readstatewatcher.h"

#include "ticker/rows/dataitemview.h"

ReadStateWatcher &ReadStateWatcher::shared()
{
    static ReadStateWatcher *const watcher = new ReadStateWatcher;
    return *watcher;
}

ReadStateWatcher::ReadStateWatcher()
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReadStateWatcher::check);
}

void ReadStateWatcher::watch(DataItemView *row)
{
    m_rows.append(row);
    if (!m_timer.isActive())
        m_timer.start();
}

void ReadStateWatcher::unwatch(DataItemView *row)
{
    m_rows.removeOne(row);
    if (m_rows.isEmpty())
        m_timer.stop();
}

void ReadStateWatcher::check()
{
    for (DataItemView *row : std::as_const(m_rows))
        row->followReadState();
}
