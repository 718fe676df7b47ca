#pragma once

#include "model/manager/arrivalfront.h"
#include "model/manager/arrivalqueue.h"
#include "model/manager/mergecollector.h"
#include "model/manager/mergeorder.h"
#include "model/manager/retiredlist.h"
#include "model/manager/serialqueue.h"
#include "model/manager/sourceregistry.h"
#include "model/manager/viewdatasource.h"
#include "model/source/datasourcedelegate.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class Clock;
class Datasource;
class QTimer;
class Reachability;
class SearchFilter;
class StaleItemFiles;
class RSSDatasource;
class UserDefaults;

// The owner of every feed source: one RSSDatasource per element of the "feeds" setting, kept
// fresh by a refresh round every few seconds while the probe host is reachable, and merged into
// one list (arrival number, then date, both newest first) that the ticker reads through
// ViewDataSource.
//
// Threads: the main thread runs the timers, adding and deleting feeds and the ViewDataSource
// operations. Refresh rounds run on a background worker, merges on one serial worker that
// publishes their results in the order they were requested; sources refresh on the threads of
// the manager's refresh pool and report from there.
// The locks and their order are in model/manager/lockorder.h.
class DatasourceManager : public QObject,
                          public DatasourceDelegate,
                          public ViewDataSource,
                          public RefreshEnvironment {
    Q_OBJECT
public:
    struct Options {
        int refreshIntervalMs = 3000; // the refresh round
        int dirtyIntervalMs = 500;    // from the first change report to the merge that takes it in
        int saveDelayMs = 2000;       // a changed source's item file is saved this long after the change
        bool startTimers = true;      // tests call update() and dirtyTimer() themselves
        // The command line's one-pass mode: each enabled source refreshes once, and a new
        // refresh starts as soon as one ends (within the capacity rule) instead of at the next round.
        bool refreshOnce = false;
    };

    DatasourceManager(UserDefaults &defaults, const Clock &clock, Reachability &reachability,
                      const Options &options);
    DatasourceManager(UserDefaults &defaults, const Clock &clock, Reachability &reachability);
    // Closes, saves the item files of the sources changed since their last save, and waits for
    // pending merges. On the main thread.
    ~DatasourceManager() override;

    // The application's manager on the standard settings, the system clock and the standard
    // reachability; created on first use, on the main thread, and closed when the application quits.
    static DatasourceManager &sharedInstance();

    // Stops refreshing: the timers stop, the downloads under way are cancelled, and the call
    // returns once every refresh has ended (their last hand-offs to the main thread run here
    // meanwhile) and no round or save is pending. On the main thread; later calls do nothing.
    void close();

    // ---- Sources
    // A snapshot of the sources in "feeds" order, added feeds last.
    QList<std::shared_ptr<Datasource>> datasources() const;
    // Held by callers that walk the sources and need them to stay put.
    std::recursive_mutex &sourcesLock() const { return m_sources.lock(); }
    // Subscribes to the address; nullptr and a notice when it is no feed address
    // (FeedStrings::feedAddressRefusal) or a source has the same address after feed-URL
    // normalisation ("Feed already exists.").
    std::shared_ptr<RSSDatasource> addFeedWithURL(const QString &address);
    // Removes the source from "feeds" and from the list; its queued arrivals are dropped.
    void deleteDatasource(Datasource *source);
    // The first RSS source whose url equals the string exactly, or nullptr.
    std::shared_ptr<RSSDatasource> dataSourceForUrl(const QString &url) const;
    // Saves every source's item file (for quit); false when one could not be written.
    bool syncAll();

    // ---- Merging
    // Requests a merge; returns its generation.
    quint64 merge();
    // Requests a merge and returns once its result is published (and itemsPublished delivered to
    // direct receivers, which therefore must not call it).
    void mergeSync();
    quint64 publishedGeneration() const;

    // ---- Timers (public so that tests drive them)
    // The refresh round: runs refreshRound() on the background worker (once, however often asked
    // while one waits).
    void update();
    // The body of a round, on the calling thread: nothing while the probe host is unreachable;
    // after an hour without any successful refresh the sources file their next entries as
    // history; then the enabled sources, least recently refreshed first, start refreshes that are
    // due, until one finds no free slot.
    void refreshRound();
    // Turns pending change reports into one merge.
    void dirtyTimer();
    // Saves, on the calling thread, the item files of the sources that changed since their last
    // save; the save timer runs it on the background worker.
    void saveChangedSources();

    // ---- One-pass mode
    // True once every enabled source has ended one refresh since the manager was made.
    bool everySourceRefreshedOnce() const;

    bool isReadItemsVisible() const { return m_showHidden.load(); }

    // ---- ViewDataSource
    void setNeedsRefresh(bool refresh) override { m_refresh = refresh; }
    ItemList items() override;
    QList<DataItemPtr> theNewItems() override;
    bool needsRefresh() const override { return m_refresh.load(); }
    void removeNew() override;
    bool hasNew() override;
    void setFilter(const QString &filter) override;
    void setGatherNewItems(bool gather) override { m_gather = gather; }
    QString filter() const override;
    bool isFiltered() const override;
    DataItemPtr theNewItem() override;
    void setShowMarkedOnly(bool markedOnly) override;
    bool isMarkedOnly() const override { return m_markedOnly.load(); }
    void markRead() override;
    void markUnread() override;
    void showHidden() override;
    void hideRead() override;

    // ---- DatasourceDelegate (any thread)
    void itemsDidChangeInDatasource(Datasource *source) override;
    void newItemInDatasource(const DataItemPtr &item, Datasource *source) override;

    // ---- RefreshEnvironment (any thread)
    int numberOfSources() const override { return m_sources.count(); }
    bool internetAvailable() const override;
    RefreshPool &refreshPool() override { return m_pool; }

Q_SIGNALS:
    // A merge of this generation was published (emitted on the merge worker).
    void itemsPublished(quint64 generation);
    // A notice for the user, e.g. "Feed already exists.": the window shows it as an alert, the
    // headless front end prints it.
    void noticeRequested(const QString &message);
    // Every enabled source has ended one refresh (emitted once, on the main thread).
    void allSourcesRefreshedOnce();

private:
    void createDatasources();
    void setAsideItemFilesOfNoFeed(const StaleItemFiles &stale) const;
    void attach(const std::shared_ptr<RSSDatasource> &source);
    void append(const std::shared_ptr<RSSDatasource> &source);
    quint64 _merge();
    void runMerge(quint64 generation);
    void publish(quint64 generation, QList<DataItemPtr> list, const MergeCollector::Taken &taken);
    QSet<const DataItem *> listedAmong(const QList<DataItemPtr> &list,
                                       const MergeCollector::Taken &taken) const;
    MergeOrder::OneShots takeOneShots();
    std::shared_ptr<const SearchFilter> currentFilter() const;
    void sourceDidFinishRefresh(Datasource *source);
    void announceAllRefreshed();
    void scheduleSave(Datasource *source);

    UserDefaults &m_defaults;
    const Clock &m_clock;
    Reachability &m_reachability;
    const Options m_options;

    SourceRegistry m_sources;

    ArrivalQueue m_arrivals;

    mutable std::mutex m_stateLock; // filter, generations, published list and its front
    std::condition_variable m_published;
    QString m_filter;
    std::shared_ptr<const SearchFilter> m_filterPredicate;
    quint64 m_generation = 0;
    quint64 m_publishedGeneration = 0;
    PublishedList::Part m_merged; // the latest merge's list; never null
    ArrivalFront m_front;         // arrivals brought in that m_merged does not list yet
    const std::shared_ptr<RetiredList> m_retired =
        std::make_shared<RetiredList>(); // published lists nobody reads
    MergeCollector m_collector;

    mutable std::mutex m_saveLock; // sources whose item files wait to be saved
    QHash<const Datasource *, std::weak_ptr<Datasource>> m_unsaved;

    std::atomic<bool> m_refresh = false;
    std::atomic<bool> m_gather = true;
    std::atomic<bool> m_markedOnly = false;
    std::atomic<bool> m_dirty = false;
    std::atomic<bool> m_hide = false;
    std::atomic<bool> m_showHidden = false;
    std::atomic<bool> m_hideAll = false;
    std::atomic<bool> m_markAllUnread = false;
    std::atomic<bool> m_markAllRead = false;
    std::atomic<bool> m_announcedAllRefreshed = false;
    std::atomic<bool> m_roundPending = false;

    QTimer *m_updateTimer = nullptr;
    QTimer *m_dirtyTimer = nullptr;
    QTimer *m_saveTimer = nullptr;
    SerialQueue m_mergeQueue; // merges, in order of request
    SerialQueue m_roundQueue; // refresh rounds and saves of item files
    RefreshPool m_pool;       // the refreshes, which report to the members above
};
