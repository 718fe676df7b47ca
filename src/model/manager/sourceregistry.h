#pragma once

#include <QList>
#include <QSet>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class Datasource;
class RSSDatasource;

// The manager's sources in "feeds" order, added feeds last, and which of them have ended a refresh
// since the manager was made. Its lock is the manager's sources lock (lockorder.h): the methods
// whose names end in Locked leave it to the caller, the others take it.
class SourceRegistry {
public:
    using Sources = QList<std::shared_ptr<Datasource>>;

    std::recursive_mutex &lock() const { return m_lock; }
    Sources snapshot() const;
    const Sources &listLocked() const { return m_sources; }
    // Any thread, without the lock.
    int count() const { return m_count.load(); }
    QStringList uuids() const;
    // The first RSS source that matches, or nullptr.
    std::shared_ptr<RSSDatasource> findFeed(const std::function<bool(const RSSDatasource &)> &matches) const;

    void appendLocked(std::shared_ptr<Datasource> source);
    // Removes the source and its refresh record; the caller releases it once its locks are given up.
    std::shared_ptr<Datasource> removeLocked(const Datasource *source);
    Sources takeAllLocked();

    void noteRefreshedLocked(const Datasource *source);
    bool hasRefreshedLocked(const Datasource *source) const;
    // True when every enabled source has ended a refresh.
    bool everyEnabledSourceRefreshed() const;

private:
    mutable std::recursive_mutex m_lock;
    Sources m_sources;
    QSet<const Datasource *> m_refreshedOnce;
    std::atomic<int> m_count = 0;
};
