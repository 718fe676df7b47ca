#include "cli/headlessticker.h"

#include "platform/clock.h"

#include <QTimer>
#include <cstdlib>

HeadlessTicker::HeadlessTicker(ViewDataSource &source, const Clock &clock, Show show, QObject *parent)
    : QObject(parent), m_source(source), m_clock(clock), m_show(std::move(show)), m_timer(new QTimer(this))
{
    m_timer->setInterval(tickIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &HeadlessTicker::tick);
}

void HeadlessTicker::start()
{
    m_timer->start();
}

void HeadlessTicker::stop()
{
    m_timer->stop();
}

void HeadlessTicker::tick()
{
    showNewTopRows();
    releaseQueued();
}

void HeadlessTicker::showNewTopRows()
{
    if (!m_source.needsRefresh())
        return;
    const ViewDataSource::ItemList list = m_source.items();
    m_source.setNeedsRefresh(false);
    QList<DataItemPtr> unseen;
    for (qsizetype row = 0; row < list.size() && row < screenRows; ++row) {
        if (!wasShown(list.at(row)))
            unseen.prepend(list.at(row));
    }
    for (const DataItemPtr &item : std::as_const(unseen))
        show(item);
}

void HeadlessTicker::releaseQueued()
{
    const QDateTime now = m_clock.now();
    if (m_lastNew.isValid()) {
        if (std::llabs(m_lastNew.msecsTo(now)) / 1000 >= releaseGapSeconds)
            m_lastNew = QDateTime();
        return;
    }
    if (!m_source.hasNew())
        return;
    if (m_source.theNewItems().size() > mostWaiting) {
        while (m_source.theNewItems().size() > mostWaiting)
            releaseOne();
    }
    releaseOne();
    m_lastNew = now;
}

void HeadlessTicker::releaseOne()
{
    const DataItemPtr item = m_source.theNewItem();
    m_source.removeNew();
    if (item)
        show(item);
}

void HeadlessTicker::show(const DataItemPtr &item)
{
    if (wasShown(item))
        return;
    for (auto entry = m_shown.begin(); entry != m_shown.end();) {
        if (entry->expired())
            entry = m_shown.erase(entry);
        else
            ++entry;
    }
    m_shown.insert(item.get(), item);
    item->setShown(true);
    m_show(item);
}

bool HeadlessTicker::wasShown(const DataItemPtr &item) const
{
    const auto found = m_shown.constFind(item.get());
    return found != m_shown.constEnd() && found->lock() == item;
}
