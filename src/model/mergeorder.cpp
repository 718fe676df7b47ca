#include "model/mergeorder.h"

#include <algorithm>

MergeOrder::Entry MergeOrder::entryFor(const DataItemPtr &item)
{
    return {item->sequence(), item->parsedDateMsecs(), &item};
}

// The keys were read once; comparing through the items would touch each of them at every step.
QList<DataItemPtr> MergeOrder::arrange(std::vector<Entry> entries, const OneShots &oneShots)
{
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.sequence != b.sequence)
            return a.sequence > b.sequence;
        if (a.date != b.date)
            return a.date > b.date;
        return a.item < b.item;
    });

    QList<DataItemPtr> list;
    list.reserve(qsizetype(entries.size()));
    // In sorted order the entries lie scattered in memory: fetch the slots and the items ahead.
    constexpr size_t slotDistance = 16;
    constexpr size_t itemDistance = 8;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + slotDistance < entries.size())
            __builtin_prefetch(entries[i + slotDistance].item);
        if (i + itemDistance < entries.size())
            __builtin_prefetch(entries[i + itemDistance].item->get(), 1);
        const DataItemPtr &item = *entries[i].item;
        if (oneShots.markAllUnread) {
            item->setRead(false);
            item->setHidden(false);
        }
        if (oneShots.markAllRead)
            item->setRead(true);
        if (oneShots.hideAll || (oneShots.hide && item->read())) {
            item->setHidden(true);
            continue;
        }
        list.append(item);
    }
    return list;
}
