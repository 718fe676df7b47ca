#include "model/manager/sourceregistry.h"

#include "model/source/rssdatasource.h"

#include <algorithm>

SourceRegistry::Sources SourceRegistry::snapshot() const
{
    std::lock_guard guard(m_lock);
    return m_sources;
}

QStringList SourceRegistry::uuids() const
{
    std::lock_guard guard(m_lock);
    QStringList uuids;
    for (const auto &source : std::as_const(m_sources))
        uuids.append(source->uuid());
    return uuids;
}

std::shared_ptr<RSSDatasource>
SourceRegistry::findFeed(const std::function<bool(const RSSDatasource &)> &matches) const
{
    std::lock_guard guard(m_lock);
    for (const auto &source : std::as_const(m_sources)) {
        auto rss = std::dynamic_pointer_cast<RSSDatasource>(source);
        if (rss && matches(*rss))
            return rss;
    }
    return nullptr;
}

void SourceRegistry::appendLocked(std::shared_ptr<Datasource> source)
{
    m_sources.append(std::move(source));
    m_count = int(m_sources.size());
}

std::shared_ptr<Datasource> SourceRegistry::removeLocked(const Datasource *source)
{
    std::shared_ptr<Datasource> removed;
    for (qsizetype i = 0; i < m_sources.size(); ++i) {
        if (m_sources.at(i).get() == source) {
            removed = m_sources.takeAt(i);
            break;
        }
    }
    m_refreshedOnce.remove(source);
    m_count = int(m_sources.size());
    return removed;
}

SourceRegistry::Sources SourceRegistry::takeAllLocked()
{
    Sources sources;
    sources.swap(m_sources);
    m_refreshedOnce.clear();
    m_count = 0;
    return sources;
}

void SourceRegistry::noteRefreshedLocked(const Datasource *source)
{
    m_refreshedOnce.insert(source);
}

bool SourceRegistry::hasRefreshedLocked(const Datasource *source) const
{
    return m_refreshedOnce.contains(source);
}

bool SourceRegistry::everyEnabledSourceRefreshed() const
{
    std::lock_guard guard(m_lock);
    return std::all_of(m_sources.cbegin(), m_sources.cend(), [this](const auto &source) {
        return !source->isEnabled() || m_refreshedOnce.contains(source.get());
    });
}
