#include "model/manager/refreshround.h"

#include "model/source/datasource.h"

#include <QDateTime>
#include <algorithm>
#include <vector>

namespace {

struct Due {
    QDateTime lastUpdatedAt;
    bool requested;
    Datasource *source;
};

// The user waits for a requested refresh: it goes before those that fell due by themselves.
std::vector<Due> leastRecentlyRefreshedFirst(const QList<std::shared_ptr<Datasource>> &sources)
{
    std::vector<Due> order;
    order.reserve(size_t(sources.size()));
    for (const auto &source : sources)
        order.push_back({source->lastUpdatedAt(), source->refreshRequested(), source.get()});
    std::stable_sort(order.begin(), order.end(), [](const Due &a, const Due &b) {
        if (a.requested != b.requested)
            return a.requested;
        if (!a.lastUpdatedAt.isValid() || !b.lastUpdatedAt.isValid())
            return !a.lastUpdatedAt.isValid() && b.lastUpdatedAt.isValid();
        return a.lastUpdatedAt < b.lastUpdatedAt;
    });
    return order;
}

} // namespace

void RefreshRound::run(const QList<std::shared_ptr<Datasource>> &sources, double lastSuccess, double now,
                       const std::function<bool(const Datasource *)> &skipped)
{
    if (lastSuccess != 0 && now - lastSuccess > resetAfterSeconds) {
        for (const auto &source : sources)
            if (!source->firstRun())
                source->reset();
    }
    for (const Due &due : leastRecentlyRefreshedFirst(sources)) {
        if (!due.source->isEnabled() || skipped(due.source))
            continue;
        if (!due.source->updateData())
            break;
    }
}
