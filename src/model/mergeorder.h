#pragma once

#include "model/dataitem.h"

#include <QList>
#include <vector>

// The order of the merged list and the one-shot read/hidden operations applied while merging.
namespace MergeOrder {

// One entry to merge with its sort keys, read once while collecting; `item` points into a list
// the caller keeps alive until arrange() returns.
struct Entry {
    int sequence;
    qint64 date;
    const DataItemPtr *item;
};

struct OneShots {
    bool hide = false;          // hide the read entries
    bool hideAll = false;       // hide every entry
    bool markAllRead = false;   // mark every entry read
    bool markAllUnread = false; // mark every entry unread and not hidden
};

Entry entryFor(const DataItemPtr &item);

// The entries sorted by arrival number (absent counts as 0), then date, both newest first;
// with the one-shots applied and the entries they hide left out.
QList<DataItemPtr> arrange(std::vector<Entry> entries, const OneShots &oneShots);

} // namespace MergeOrder
