#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <QSet>
#include <mutex>

class Datasource;

// The entries that arrived after their source's first refresh, waiting to be brought in one at a
// time, oldest first; and the sources whose arrivals are queued. Any thread; its lock is the queue
// lock of model/manager/lockorder.h.
class ArrivalQueue {
public:
    // The source's arrivals are queued from now on.
    void manage(const Datasource *source);
    // Stops queuing the source's arrivals and drops those queued.
    void forget(const Datasource *source);
    bool isManaged(const Datasource *source) const;

    // Queues the entry, unless its source is not managed or the entry is queued already.
    void enqueue(const DataItemPtr &item, const Datasource *source);
    QList<DataItemPtr> items() const;
    // The oldest arrival, or nullptr.
    DataItemPtr first() const;
    // How many arrivals were taken so far: the number of the latest one taken.
    quint64 takenCount() const;
    struct Queued {
        QSet<const DataItem *> items; // to be left out of a merge
        quint64 taken;                // takenCount() at the same moment
    };
    Queued queued() const;
    // Drops arrivals whose source is gone, no longer managed or disabled; true when any remain.
    bool dropGoneAndHasAny();
    // Takes the oldest arrival and hands it, with its number (1, 2, ... in the order taken), to
    // `bringIn` before anyone sees it unqueued; false when the queue is empty. `bringIn` may take
    // the locks below the queue lock.
    template <typename BringIn> bool takeFirst(BringIn &&bringIn)
    {
        std::lock_guard guard(m_lock);
        if (m_items.isEmpty())
            return false;
        const DataItemPtr item = m_items.takeFirst();
        m_queued.remove(item.get());
        bringIn(item, ++m_taken);
        return true;
    }

private:
    mutable std::recursive_mutex m_lock;
    QList<DataItemPtr> m_items;
    QSet<const DataItem *> m_queued;
    QSet<const Datasource *> m_managed;
    quint64 m_taken = 0;
};
