#pragma once

#include "model/manager/viewdatasource.h"

// The bar's copy of its provider's list, newest first: the list last published, with the
// headlines the bar brought in since put in front. Taking a new copy shares the published list
// instead of copying it, and a headline brought in is not copied into it, so both cost the same
// for a list of ten entries and of a hundred thousand.
class ItemSnapshot {
public:
    bool isTaken() const { return m_taken; }
    void take(ViewDataSource::ItemList list);
    void prepend(const DataItemPtr &item) { m_front.prepend(item); }

    int count() const { return int(m_front.size() + m_list.size()); }
    // Entry k, 0 the newest.
    const DataItemPtr &at(int k) const;

private:
    QList<DataItemPtr> m_front; // newest first
    ViewDataSource::ItemList m_list;
    bool m_taken = false;
};
