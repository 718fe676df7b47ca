#include "model/manager/retiredlist.h"

#include "model/manager/mergeorder.h"

std::shared_ptr<const QList<DataItemPtr>> RetiredList::share(QList<DataItemPtr> list,
                                                             const std::shared_ptr<RetiredList> &retired)
{
    return std::shared_ptr<QList<DataItemPtr>>(new QList<DataItemPtr>(std::move(list)),
                                               [retired](QList<DataItemPtr> *shared) {
                                                   retired->retire(std::move(*shared));
                                                   delete shared;
                                               });
}

QList<DataItemPtr> RetiredList::take()
{
    std::lock_guard guard(m_lock);
    return std::exchange(m_list, {});
}

// The list it replaces is released outside the lock.
void RetiredList::retire(QList<DataItemPtr> list)
{
    {
        std::lock_guard guard(m_lock);
        m_list.swap(list);
    }
    MergeOrder::release(list);
}
