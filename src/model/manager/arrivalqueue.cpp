#include "model/manager/arrivalqueue.h"

#include "model/source/datasource.h"

void ArrivalQueue::manage(const Datasource *source)
{
    std::lock_guard guard(m_lock);
    m_managed.insert(source);
}

void ArrivalQueue::forget(const Datasource *source)
{
    std::lock_guard guard(m_lock);
    m_managed.remove(source);
    m_items.removeIf([this, source](const DataItemPtr &item) {
        const bool fromSource = Datasource::of(*item).get() == source;
        if (fromSource)
            m_queued.remove(item.get());
        return fromSource;
    });
}

bool ArrivalQueue::isManaged(const Datasource *source) const
{
    std::lock_guard guard(m_lock);
    return m_managed.contains(source);
}

void ArrivalQueue::enqueue(const DataItemPtr &item, const Datasource *source)
{
    std::lock_guard guard(m_lock);
    if (m_managed.contains(source) && !m_queued.contains(item.get())) {
        m_items.append(item);
        m_queued.insert(item.get());
    }
}

QList<DataItemPtr> ArrivalQueue::items() const
{
    std::lock_guard guard(m_lock);
    return m_items;
}

DataItemPtr ArrivalQueue::first() const
{
    std::lock_guard guard(m_lock);
    return m_items.isEmpty() ? nullptr : m_items.first();
}

quint64 ArrivalQueue::takenCount() const
{
    std::lock_guard guard(m_lock);
    return m_taken;
}

// A copy of its own: a shared one would be read by the merge while the queue changes its original.
ArrivalQueue::Queued ArrivalQueue::queued() const
{
    std::lock_guard guard(m_lock);
    return {QSet<const DataItem *>(m_queued.cbegin(), m_queued.cend()), m_taken};
}

bool ArrivalQueue::dropGoneAndHasAny()
{
    std::lock_guard guard(m_lock);
    m_items.removeIf([this](const DataItemPtr &item) {
        const std::shared_ptr<Datasource> source = Datasource::of(*item);
        const bool gone = !source || !m_managed.contains(source.get()) || !source->isEnabled();
        if (gone)
            m_queued.remove(item.get());
        return gone;
    });
    return !m_items.isEmpty();
}
