#pragma once

#include "model/dataitem.h"

#include <QList>
#include <memory>
#include <vector>

// The order of the merged list and the one-shot read/hidden operations applied while merging.
namespace MergeOrder {

// The entries of one merge: each taken (its reference counted) while its sort keys were read,
// so that arranging them moves references instead of touching every entry again.
struct Entries {
    // The sort keys of entry `index` of `items`, read once while collecting.
    struct Key {
        int sequence;
        quint32 index;
        qint64 date;
    };
    std::vector<Key> keys;
    std::vector<DataItemPtr> items;

    void add(const DataItemPtr &item)
    {
        keys.push_back({item->sequence(), quint32(items.size()), item->parsedDateMsecs()});
        items.push_back(item);
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
// Consumes the entries.
QList<DataItemPtr> arrange(Entries &entries, const OneShots &oneShots);

// Fetches ahead what merging touches of an entry made by make_shared: its reference count just
// before it and its flags and sort keys at its end, up to three cache lines.
inline void prefetch(const DataItem *item)
{
    const char *bytes = reinterpret_cast<const char *>(item);
    __builtin_prefetch(bytes - sizeof(long), 1);
    __builtin_prefetch(bytes + 56, 1);
    __builtin_prefetch(bytes + sizeof(DataItem) - 1, 1);
}

// Sorts by arrival number, then date, both descending; equal keys keep their order.
void sortNewestFirst(std::vector<Entries::Key> &keys);

// Empties a list, fetching the entries' reference counts ahead: in list order the entries lie
// scattered in memory. A list whose data another list shares is just dropped.
void release(QList<DataItemPtr> &list);

// The list as an immutable snapshot for readers; whichever thread drops the last reference
// empties it with release().
std::shared_ptr<const QList<DataItemPtr>> share(QList<DataItemPtr> list);

} // namespace MergeOrder
