#include "model/manager/publishedlist.h"

bool PublishedList::contains(const DataItemPtr &item) const
{
    return (m_front && m_front->contains(item)) || (m_merged && m_merged->contains(item));
}

QList<DataItemPtr> PublishedList::toList() const
{
    QList<DataItemPtr> list;
    list.reserve(size());
    if (m_front)
        list.append(*m_front);
    if (m_merged)
        list.append(*m_merged);
    return list;
}
