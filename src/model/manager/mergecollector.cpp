#include "model/manager/mergecollector.h"

#include "model/manager/arrivalqueue.h"
#include "model/manager/searchfilter.h"
#include "model/source/datasource.h"

#include <algorithm>

MergeOrder::Entries MergeCollector::collect(const QList<std::shared_ptr<Datasource>> &sources,
                                            const SearchFilter *filter, bool includeHidden,
                                            const ArrivalQueue &arrivals, std::vector<SourceList> &lists,
                                            Taken &taken)
{
    taken.before = arrivals.takenCount();
    lists = visibleLists(sources, filter);
    MergeOrder::Entries entries;
    entries.keys.reserve(size_t(m_lastSize.load()));
    entries.items.reserve(size_t(m_lastSize.load()));
    entries.addresses.reserve(size_t(m_lastSize.load()));
    // Taken after the lists, so that every entry of theirs already queued is left out.
    const ArrivalQueue::Queued waiting = arrivals.queued();
    const QSet<const DataItem *> &queued = waiting.items;
    taken.after = waiting.taken;
    for (size_t list = 0; list < lists.size(); ++list) {
        // The entries lie scattered in memory: fetch a few ahead, the next list's first ones
        // included.
        if (list + 1 < lists.size())
            prefetchItems(lists[list + 1], 0, prefetchDistance);
        const SourceList &visible = lists[list];
        for (qsizetype i = 0; i < visible.count; ++i) {
            if (i + prefetchDistance < visible.count && visible.items.at(i + prefetchDistance))
                visible.items.at(i + prefetchDistance)->prefetchMergeReads();
            const DataItemPtr &item = visible.items.at(i);
            if (!item || (item->hidden() && !includeHidden))
                continue;
            if (!queued.isEmpty() && queued.contains(item.get()))
                continue;
            if (filter && !filter->matches(*item, visible.sourceNameMatches))
                continue;
            entries.add(item);
        }
    }
    m_lastSize = qsizetype(entries.keys.size());
    return entries;
}

// The lists of the sources with visible entries, as they are now.
std::vector<MergeCollector::SourceList>
MergeCollector::visibleLists(const QList<std::shared_ptr<Datasource>> &sources, const SearchFilter *filter)
{
    std::vector<SourceList> lists;
    lists.reserve(size_t(sources.size()));
    for (const auto &source : sources) {
        std::lock_guard sourceGuard(source->lock());
        const int count = source->numberOfItems();
        if (count == 0)
            continue;
        SourceList &list = lists.emplace_back(SourceList{source, source->items(), 0, false});
        list.count = std::min<qsizetype>(count, list.items.size());
        list.sourceNameMatches = filter && filter->matchesSourceName(*source);
    }
    return lists;
}

void MergeCollector::prefetchItems(const SourceList &list, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < std::min(to, list.count); ++i)
        if (const DataItem *item = list.items.at(i).get())
            item->prefetchMergeReads();
}
