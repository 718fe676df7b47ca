#pragma once

#include "model/entry/dataitem.h"
#include "model/manager/publishedlist.h"

#include <QList>
#include <QString>
#include <memory>

// What the ticker reads from its item provider: the published list, the queue of arrivals it
// releases one at a time, the search and marked-only filters and the read/hidden operations.
// Called on the main thread.
class ViewDataSource {
public:
    // An immutable snapshot, newest first; a new list is published instead of changing one in place.
    using ItemList = PublishedList;

    virtual ~ViewDataSource() = default;

    virtual void setNeedsRefresh(bool refresh) = 0;
    // The published list; empty before anything was published.
    virtual ItemList items() = 0;
    // The queued arrivals, oldest first.
    virtual QList<DataItemPtr> theNewItems() = 0;
    virtual bool needsRefresh() const = 0;
    // Releases the oldest queued arrival to the top of the list.
    virtual void removeNew() = 0;
    virtual bool hasNew() = 0;
    // Blank text (only white space) removes the search filter.
    virtual void setFilter(const QString &filter) = 0;
    virtual void setGatherNewItems(bool gather) = 0;
    // The search text; a null string without one.
    virtual QString filter() const = 0;
    virtual bool isFiltered() const = 0;
    // The oldest queued arrival, or nullptr.
    virtual DataItemPtr theNewItem() = 0;
    virtual void setShowMarkedOnly(bool markedOnly) = 0;
    virtual bool isMarkedOnly() const = 0;
    virtual void markRead() = 0;
    virtual void markUnread() = 0;
    virtual void showHidden() = 0;
    virtual void hideRead() = 0;
};
