#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <vector>

// The order of the merged list and the one-shot read/hidden operations applied while merging.
namespace MergeOrder {

// The entries of one merge, with their sort keys read once while collecting.
struct Entries {
    // The sort keys of entry `index` of `items`.
    struct Key {
        int sequence;
        quint32 index;
        qint64 date;
    };
    std::vector<Key> keys;
    std::vector<const DataItemPtr *> items;  // into lists the caller keeps until arrange() returns
    std::vector<const DataItem *> addresses; // of the items, compared without reading the lists

    void add(const DataItemPtr &item)
    {
        keys.push_back({item->sequence(), quint32(items.size()), item->parsedDateMsecs()});
        items.push_back(&item);
        addresses.push_back(item.get());
    }
};

struct OneShots {
    bool hide = false;          // hide the read entries
    bool hideAll = false;       // hide every entry
    bool markAllRead = false;   // mark every entry read
    bool markAllUnread = false; // mark every entry unread and not hidden

    bool any() const { return hide || hideAll || markAllRead || markAllUnread; }
};

// The entries sorted by arrival number (absent counts as 0), then date, both newest first, then
// in the order they were added; with the one-shots applied and the entries they hide left out.
// `previous` is an earlier merged list nobody reads any more (see RetiredList): where it holds the
// same entries in the same order, its references move into the result; the rest is released.
QList<DataItemPtr> arrange(Entries &entries, const OneShots &oneShots, QList<DataItemPtr> previous = {});

// Sorts by arrival number, then date, both descending; equal keys keep their order.
void sortNewestFirst(std::vector<Entries::Key> &keys);

// Empties a list, fetching the entries' reference counts ahead: in list order the entries lie
// scattered in memory. A list whose data another list shares is just dropped.
void release(QList<DataItemPtr> &list);

} // namespace MergeOrder
