#include "ticker/bar/itemsnapshot.h"

void ItemSnapshot::take(ViewDataSource::ItemList list)
{
    m_list = std::move(list);
    m_front.clear();
    m_taken = true;
}

const DataItemPtr &ItemSnapshot::at(int k) const
{
    if (k < m_front.size())
        return m_front.at(k);
    return m_list.at(k - m_front.size());
}
