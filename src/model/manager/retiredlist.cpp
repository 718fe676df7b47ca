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

// The lists are released outside the lock.
QList<DataItemPtr> RetiredList::take()
{
    std::vector<QList<DataItemPtr>> lists;
    {
        std::lock_guard guard(m_lock);
        lists.swap(m_lists);
    }
    if (lists.empty())
        return {};
    QList<DataItemPtr> latest = std::move(lists.back());
    lists.pop_back();
    for (QList<DataItemPtr> &older : lists)
        MergeOrder::release(older);
    return latest;
}

void RetiredList::retire(QList<DataItemPtr> list)
{
    std::lock_guard guard(m_lock);
    m_lists.push_back(std::move(list));
}
