#pragma once

#include "model/dataitem.h"

#include <QList>

// The order of the merged list and the one-shot read/hidden operations applied while merging.
namespace MergeOrder {

struct OneShots {
    bool hide = false;          // hide the read entries
    bool hideAll = false;       // hide every entry
    bool markAllRead = false;   // mark every entry read
    bool markAllUnread = false; // mark every entry unread and not hidden
};

// The entries sorted by arrival number (absent counts as 0), then date, both newest first,
// ties in their given order; with the one-shots applied and the entries they hide left out.
QList<DataItemPtr> arrange(const QList<DataItemPtr> &collected, const OneShots &oneShots);

} // namespace MergeOrder
