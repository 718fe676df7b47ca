#pragma once

#include "model/manager/mergeorder.h"

#include <QList>
#include <atomic>
#include <memory>
#include <vector>

class ArrivalQueue;
class Datasource;
class SearchFilter;

// Gathers what a merge orders: the visible entries of the sources that pass the filter, queued
// arrivals left out, with their sort keys. Runs on the merge worker.
class MergeCollector {
public:
    // A source's list as a merge reads it: its first `count` entries are the visible ones.
    struct SourceList {
        std::shared_ptr<Datasource> source; // kept alive until the merge has dropped its copy
        QList<DataItemPtr> items;
        qsizetype count;
        bool sourceNameMatches;
    };

    // Which arrivals taken from the queue the collection may list (ArrivalQueue::takenCount).
    struct Taken {
        quint64 before = 0; // taken before the sources were read: listed when visible
        quint64 after = 0;  // taken by the time the queue was read: those taken later are not listed
    };

    // The caller holds the manager's sources lock, so that `sources` stay put. `lists` receives the
    // sources' lists, which the entries point into.
    MergeOrder::Entries collect(const QList<std::shared_ptr<Datasource>> &sources, const SearchFilter *filter,
                                bool includeHidden, const ArrivalQueue &arrivals,
                                std::vector<SourceList> &lists, Taken &taken);

private:
    static std::vector<SourceList> visibleLists(const QList<std::shared_ptr<Datasource>> &sources,
                                                const SearchFilter *filter);
    static void prefetchItems(const SourceList &list, qsizetype from, qsizetype to);

    static constexpr qsizetype prefetchDistance = 16;
    std::atomic<qsizetype> m_lastSize = 0; // sizes the next collection's buffers
};
