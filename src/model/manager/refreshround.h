#pragma once

#include <QList>
#include <functional>
#include <memory>

class Datasource;

// One round of refreshes over the sources.
namespace RefreshRound {

// After this long without any successful refresh, the sources file their next entries as history.
inline constexpr double resetAfterSeconds = 3600;

// Resets the sources past their first run when the last successful refresh (seconds since the
// epoch, 0 for none) is more than resetAfterSeconds before `now`; then offers the enabled sources
// not `skipped` a refresh, those with a request waiting first, then least recently refreshed first
// (never refreshed first of all), until one finds no free slot. The caller keeps `sources` in place
// meanwhile.
void run(const QList<std::shared_ptr<Datasource>> &sources, double lastSuccess, double now,
         const std::function<bool(const Datasource *)> &skipped);

} // namespace RefreshRound
