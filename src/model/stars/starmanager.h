#pragma once

#include "model/manager/viewdatasource.h"

#include <QList>
#include <QVariantList>
#include <QVariantMap>
#include <atomic>
#include <memory>
#include <mutex>

class DatasourceManager;
class UserDefaults;

// The user's starred entries, kept as copies of their records in the "starred" setting (newest
// first) so that they outlive their feeds, and served as a list the ticker can show.
//
// Threads: starring, unstarring, isStarred and removeAll may be called from any thread and hold
// the star lock (model/manager/lockorder.h); the list, the filter and the flags belong to the
// main thread.
class StarManager : public ViewDataSource {
public:
    // `sources` finds the feeds of stored records; without it stored entries have no source.
    StarManager(UserDefaults &defaults, DatasourceManager *sources);

    // The application's store on the standard settings and the shared DatasourceManager.
    static StarManager &sharedInstance();

    bool isStarred(const DataItem &item) const;
    // Stars the entry (newest first); starring twice keeps one record. Always notifies.
    void starItem(const DataItemPtr &item);
    // Removes the entry's record; always writes the setting and notifies.
    void unstarItem(const DataItemPtr &item);
    void removeAll();

    // The stored record of an entry: its dictionary without its arrival number (which changes and
    // is never stored), plus "DataSourceUrl" when its source is a feed with an address.
    static QVariantMap recordForItem(const DataItem &item);

    // ViewDataSource: the starred entries, filtered; nothing is ever queued.
    void setNeedsRefresh(bool refresh) override { m_refresh = refresh; }
    ItemList items() override;
    QList<DataItemPtr> theNewItems() override { return {}; }
    bool needsRefresh() const override { return m_refresh.load(); }
    void removeNew() override {}
    bool hasNew() override { return false; }
    void setFilter(const QString &filter) override;
    void setGatherNewItems(bool) override {}
    QString filter() const override { return m_filter; }
    bool isFiltered() const override { return !m_filter.isNull(); }
    DataItemPtr theNewItem() override { return nullptr; }
    void setShowMarkedOnly(bool) override {}
    bool isMarkedOnly() const override { return false; }
    void markRead() override { m_refresh = true; }
    void markUnread() override { m_refresh = true; }
    void showHidden() override { m_refresh = true; }
    void hideRead() override { m_refresh = true; }

private:
    void _sync();
    // Entries made from the stored records, each referring to the feed it came from while that
    // feed is subscribed.
    PublishedList::Part buildCache() const;

    UserDefaults &m_defaults;
    DatasourceManager *m_sources;

    mutable std::recursive_mutex m_lock; // m_starred and m_cache
    QVariantList m_starred;
    PublishedList::Part m_cache; // replaced, never changed in place

    QString m_filter;
    std::atomic<bool> m_refresh = true;
};
