#include "model/manager/datasourcemanager.h"

#include "model/entry/itemkeys.h"
#include "model/manager/mergeorder.h"
#include "model/manager/refreshround.h"
#include "model/manager/retiredlist.h"
#include "model/manager/searchfilter.h"
#include "model/parse/feedstrings.h"
#include "model/source/datasource.h"
#include "model/source/feeduuids.h"
#include "model/source/itemfilereadahead.h"
#include "model/source/rssdatasource.h"
#include "model/source/staleitemfiles.h"
#include "platform/clock.h"
#include "platform/mainthread.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString uuidKey = u"uuid"_s;

} // namespace

DatasourceManager::DatasourceManager(UserDefaults &defaults, const Clock &clock, Reachability &reachability)
    : DatasourceManager(defaults, clock, reachability, Options())
{
}

DatasourceManager::DatasourceManager(UserDefaults &defaults, const Clock &clock, Reachability &reachability,
                                     const Options &options)
    : m_defaults(defaults), m_clock(clock), m_reachability(reachability), m_options(options),
      m_merged(std::make_shared<const QList<DataItemPtr>>())
{
    createDatasources();

    m_updateTimer = new QTimer(this);
    m_updateTimer->setInterval(m_options.refreshIntervalMs);
    connect(m_updateTimer, &QTimer::timeout, this, &DatasourceManager::update);
    m_dirtyTimer = new QTimer(this);
    m_dirtyTimer->setSingleShot(true);
    m_dirtyTimer->setInterval(m_options.dirtyIntervalMs);
    connect(m_dirtyTimer, &QTimer::timeout, this, &DatasourceManager::dirtyTimer);
    m_saveTimer = new QTimer(this);
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(m_options.saveDelayMs);
    connect(m_saveTimer, &QTimer::timeout, this,
            [this] { m_roundQueue.post([this] { saveChangedSources(); }); });
    if (m_options.startTimers)
        m_updateTimer->start();
}

DatasourceManager::~DatasourceManager()
{
    close();
    saveChangedSources();
    m_mergeQueue.waitForDone();
    SourceRegistry::Sources sources;
    {
        std::lock_guard guard(m_sources.lock());
        for (const auto &source : m_sources.listLocked())
            source->setDelegate(nullptr);
        sources = m_sources.takeAllLocked();
    }
    sources.clear();
    // A source whose last holder was a refresh or a merge was handed to the main thread for
    // deletion; it uses the settings, which may go right after this manager.
    MainThread::runPosted();
}

DatasourceManager &DatasourceManager::sharedInstance()
{
    // Lives until the process ends; the application saves the item files at quit (syncAll).
    static DatasourceManager *instance = [] {
        auto *manager = new DatasourceManager(UserDefaults::standardUserDefaults(), Clock::system(),
                                              Reachability::standard());
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, manager,
                         &DatasourceManager::close);
        return manager;
    }();
    return *instance;
}

void DatasourceManager::close()
{
    m_updateTimer->stop();
    m_dirtyTimer->stop();
    m_saveTimer->stop();
    m_pool.close();
    m_roundQueue.waitForDone();
}

// ---- Sources

void DatasourceManager::createDatasources()
{
    const QVariantList feeds = FeedUuids::makeDistinct(m_defaults);
    QStringList uuids;
    for (const QVariant &feed : feeds)
        uuids.append(feed.toMap().value(uuidKey).toString());
    const StaleItemFiles stale(m_clock);
    stale.restore(uuids);
    ItemFileReadAhead readAhead(uuids);
    for (const QVariant &feed : feeds) {
        const auto source = RSSDatasource::create(feed.toMap(), m_defaults, m_clock, *this, &readAhead);
        attach(source);
        append(source);
    }
    setAsideItemFilesOfNoFeed(stale);
}

// Files of deleted feeds wait in the stale folder; those of the feeds just loaded stay, so that a
// crash before the next save loses nothing. Only settings read from a sound file say which feeds
// the user has: after a missing, damaged or unreadable one, every item file stays where it is.
void DatasourceManager::setAsideItemFilesOfNoFeed(const StaleItemFiles &stale) const
{
    const SettingsFile::ReadState settings = m_defaults.fileState();
    if (settings != SettingsFile::ReadState::Sound) {
        if (settings != SettingsFile::ReadState::Absent)
            qWarning("Item files of feeds missing from the settings are kept: the settings file was unsound");
        return;
    }
    if (m_defaults.objectForKey(SettingsKey::feeds).typeId() != QMetaType::QVariantList) {
        qWarning("Item files are kept: the settings hold no list of feeds");
        return;
    }
    stale.setAsideAllBut(m_sources.uuids());
    stale.deleteExpired();
}

// The source reports to this manager from now on.
void DatasourceManager::attach(const std::shared_ptr<RSSDatasource> &source)
{
    source->setDelegate(this);
    const std::weak_ptr<Datasource> weak = source;
    connect(
        source.get(), &RSSDatasource::refreshFinished, this,
        [this, weak] {
            if (const auto finished = weak.lock())
                sourceDidFinishRefresh(finished.get());
        },
        Qt::QueuedConnection);
}

// The source joins the list, and so the refresh rounds, the merges and the arrival queue.
void DatasourceManager::append(const std::shared_ptr<RSSDatasource> &source)
{
    std::lock_guard sourcesGuard(m_sources.lock());
    m_sources.appendLocked(source);
    m_arrivals.manage(source.get());
}

QList<std::shared_ptr<Datasource>> DatasourceManager::datasources() const
{
    return m_sources.snapshot();
}

std::shared_ptr<RSSDatasource> DatasourceManager::addFeedWithURL(const QString &address)
{
    if (const QString refusal = FeedStrings::feedAddressRefusal(address); !refusal.isNull()) {
        Q_EMIT noticeRequested(refusal);
        return nullptr;
    }
    if (m_sources.findFeed([&address](const RSSDatasource &rss) {
            return FeedStrings::sameFeedAddress(rss.url(), address);
        })) {
        Q_EMIT noticeRequested(u"Feed already exists."_s);
        return nullptr;
    }
    // Its address is stored, and its first refresh started (setURL), before a round can see it. It
    // reports from the start, so that the end of that refresh is not lost.
    auto source = RSSDatasource::create(std::nullopt, m_defaults, m_clock, *this);
    attach(source);
    source->setURL(address);
    {
        std::lock_guard guard(m_sources.lock());
        for (const auto &existing : m_sources.listLocked())
            existing->removeSequence();
        append(source);
    }
    merge();
    return source;
}

void DatasourceManager::deleteDatasource(Datasource *source)
{
    if (!source)
        return;
    const QString uuid = source->uuid();
    m_defaults.updateObject(SettingsKey::feeds, [&uuid](const QVariant &current) {
        QVariantList feeds = current.toList();
        feeds.removeIf(
            [&uuid](const QVariant &feed) { return feed.toMap().value(uuidKey).toString() == uuid; });
        return QVariant(feeds);
    });
    m_defaults.synchronize();
    source->setDelegate(nullptr);
    std::shared_ptr<Datasource> removed; // released after the locks
    {
        std::lock_guard sourcesGuard(m_sources.lock());
        m_arrivals.forget(source);
        removed = m_sources.removeLocked(source);
    }
    {
        std::lock_guard guard(m_saveLock);
        m_unsaved.remove(source);
    }
    merge();
}

std::shared_ptr<RSSDatasource> DatasourceManager::dataSourceForUrl(const QString &url) const
{
    return m_sources.findFeed([&url](const RSSDatasource &rss) { return rss.url() == url; });
}

bool DatasourceManager::syncAll()
{
    {
        std::lock_guard guard(m_saveLock);
        m_unsaved.clear();
    }
    bool saved = true;
    std::lock_guard guard(m_sources.lock());
    for (const auto &source : m_sources.listLocked())
        saved = source->sync() && saved;
    return saved;
}

// ---- Saving changed sources

void DatasourceManager::scheduleSave(Datasource *source)
{
    const std::weak_ptr<Datasource> weak = source->weak_from_this();
    if (weak.expired())
        return; // still being constructed
    {
        std::lock_guard guard(m_saveLock);
        if (m_unsaved.contains(source))
            return;
        m_unsaved.insert(source, weak);
        if (m_unsaved.size() > 1)
            return;
    }
    // Started by name on the main thread: a lambda queued from a refresh thread would cross Qt's
    // event queue, whose locks ThreadSanitizer cannot see.
    QMetaObject::invokeMethod(m_saveTimer, "start", Qt::QueuedConnection);
}

void DatasourceManager::saveChangedSources()
{
    QList<std::weak_ptr<Datasource>> pending;
    {
        std::lock_guard guard(m_saveLock);
        pending = m_unsaved.values();
        m_unsaved.clear();
    }
    for (const auto &weak : std::as_const(pending)) {
        if (const auto source = weak.lock())
            source->sync();
    }
}

// ---- Refresh rounds

bool DatasourceManager::internetAvailable() const
{
    return m_reachability.isReachable();
}

void DatasourceManager::update()
{
    if (m_options.refreshOnce && everySourceRefreshedOnce())
        announceAllRefreshed();
    if (m_roundPending.exchange(true))
        return;
    m_roundQueue.post([this] {
        m_roundPending = false;
        refreshRound();
    });
}

void DatasourceManager::refreshRound()
{
    if (!internetAvailable())
        return;
    std::lock_guard guard(m_sources.lock());
    const double now = double(m_clock.now().toMSecsSinceEpoch()) / 1000.0;
    RefreshRound::run(m_sources.listLocked(), m_pool.lastUpdateSince1970(), now,
                      [this](const Datasource *source) {
                          return m_options.refreshOnce && m_sources.hasRefreshedLocked(source);
                      });
}

void DatasourceManager::dirtyTimer()
{
    if (m_dirty.exchange(false))
        merge();
}

void DatasourceManager::sourceDidFinishRefresh(Datasource *source)
{
    {
        std::lock_guard sourcesGuard(m_sources.lock());
        if (!m_arrivals.isManaged(source))
            return;
        m_sources.noteRefreshedLocked(source);
    }
    if (everySourceRefreshedOnce())
        announceAllRefreshed();
    if (m_options.refreshOnce)
        update();
}

bool DatasourceManager::everySourceRefreshedOnce() const
{
    return m_sources.everyEnabledSourceRefreshed();
}

void DatasourceManager::announceAllRefreshed()
{
    if (!m_announcedAllRefreshed.exchange(true))
        Q_EMIT allSourcesRefreshedOnce();
}

// ---- DatasourceDelegate

// The first report after a merge starts the timer; later ones join the merge it will run.
void DatasourceManager::itemsDidChangeInDatasource(Datasource *source)
{
    // Started by name, as in scheduleSave().
    if (!m_dirty.exchange(true) && m_options.startTimers)
        QMetaObject::invokeMethod(m_dirtyTimer, "start", Qt::QueuedConnection);
    scheduleSave(source);
}

void DatasourceManager::newItemInDatasource(const DataItemPtr &item, Datasource *source)
{
    if (m_gather.load()) {
        const std::shared_ptr<const SearchFilter> filter = currentFilter();
        if (!filter || filter->matches(*item, filter->matchesSourceName(*source))) {
            m_arrivals.enqueue(item, source);
            return;
        }
    }
    item->setObject(m_pool.nextSequence(), ItemKey::sequence);
}

// ---- Merging

quint64 DatasourceManager::merge()
{
    return _merge();
}

// Submitting under the state lock keeps the queue in generation order.
quint64 DatasourceManager::_merge()
{
    std::lock_guard guard(m_stateLock);
    const quint64 generation = ++m_generation;
    m_mergeQueue.post([this, generation] { runMerge(generation); });
    return generation;
}

void DatasourceManager::mergeSync()
{
    const quint64 generation = _merge();
    std::unique_lock lock(m_stateLock);
    m_published.wait(lock, [&] { return m_publishedGeneration >= generation; });
}

quint64 DatasourceManager::publishedGeneration() const
{
    std::lock_guard guard(m_stateLock);
    return m_publishedGeneration;
}

MergeOrder::OneShots DatasourceManager::takeOneShots()
{
    return {m_hide.exchange(false), m_hideAll.exchange(false), m_markAllRead.exchange(false),
            m_markAllUnread.exchange(false)};
}

std::shared_ptr<const SearchFilter> DatasourceManager::currentFilter() const
{
    std::lock_guard guard(m_stateLock);
    return m_filterPredicate;
}

void DatasourceManager::runMerge(quint64 generation)
{
    // The one-shot flags are taken at the start, so each is consumed by exactly one merge.
    const MergeOrder::OneShots oneShots = takeOneShots();
    const std::shared_ptr<const SearchFilter> filter = currentFilter();
    std::vector<MergeCollector::SourceList> lists;
    MergeCollector::Taken taken;
    MergeOrder::Entries entries;
    {
        std::lock_guard sourcesGuard(m_sources.lock());
        entries = m_collector.collect(m_sources.listLocked(), filter.get(), m_showHidden.load(), m_arrivals,
                                      lists, taken);
    }
    QList<DataItemPtr> merged = MergeOrder::arrange(entries, oneShots, m_retired->take());
    // A source changes its list in place once no copy shares it: the copies are dropped under the
    // source's lock, so that its next change comes after the merge read them.
    for (MergeCollector::SourceList &list : lists) {
        std::lock_guard guard(list.source->lock());
        list.items = {};
    }
    publish(generation, std::move(merged), taken);
}

// The arrivals brought in while the merge read the sources, that it listed nevertheless.
QSet<const DataItem *> DatasourceManager::listedAmong(const QList<DataItemPtr> &list,
                                                      const MergeCollector::Taken &taken) const
{
    QSet<const DataItem *> candidates;
    {
        std::lock_guard guard(m_stateLock);
        candidates = m_front.takenBetween(taken.before, taken.after);
    }
    QSet<const DataItem *> listed;
    for (qsizetype i = 0; !candidates.isEmpty() && i < list.size(); ++i) {
        if (candidates.remove(list.at(i).get()))
            listed.insert(list.at(i).get());
    }
    return listed;
}

// The arrivals the list holds leave the front in the same step, so that readers see each entry
// once. Waiters of mergeSync are released after the signal, so they see what its receivers did.
void DatasourceManager::publish(quint64 generation, QList<DataItemPtr> list,
                                const MergeCollector::Taken &taken)
{
    const QSet<const DataItem *> listedLater =
        taken.after > taken.before ? listedAmong(list, taken) : QSet<const DataItem *>();
    ArrivalFront::Fold fold;
    {
        std::lock_guard guard(m_stateLock);
        fold = m_front.planFold(taken.before, listedLater);
    }
    if (!fold.duplicates.isEmpty())
        list.removeIf([&fold](const DataItemPtr &item) { return fold.duplicates.contains(item.get()); });
    PublishedList::Part published = RetiredList::share(std::move(list), m_retired);
    {
        std::lock_guard guard(m_stateLock);
        m_merged.swap(published); // the old list is released outside the lock
        m_front.dropOldest(fold.count);
        m_refresh = true;
    }
    published.reset();
    Q_EMIT itemsPublished(generation);
    {
        std::lock_guard guard(m_stateLock);
        m_publishedGeneration = generation;
    }
    m_published.notify_all();
}

// ---- ViewDataSource

ViewDataSource::ItemList DatasourceManager::items()
{
    std::lock_guard guard(m_stateLock);
    return PublishedList(m_merged, m_front.items());
}

QList<DataItemPtr> DatasourceManager::theNewItems()
{
    return m_arrivals.items();
}

DataItemPtr DatasourceManager::theNewItem()
{
    return m_arrivals.first();
}

bool DatasourceManager::hasNew()
{
    return m_arrivals.dropGoneAndHasAny();
}

// The arrival goes on top of the merged list without copying it: into the front, which the merge
// requested here folds into the list it publishes.
void DatasourceManager::removeNew()
{
    const bool broughtIn = m_arrivals.takeFirst([this](const DataItemPtr &item, quint64 taken) {
        item->setObject(m_pool.nextSequence(), ItemKey::sequence);
        std::lock_guard stateGuard(m_stateLock);
        m_front.bringIn(item, taken);
        m_refresh = true;
    });
    if (broughtIn)
        merge();
}

void DatasourceManager::setFilter(const QString &filter)
{
    while (hasNew())
        removeNew();
    {
        std::lock_guard guard(m_stateLock);
        m_filter = SearchFilter::isBlank(filter) ? QString() : filter;
        const bool markedOnly = m_markedOnly.load();
        if (m_filter.isNull() && !markedOnly)
            m_filterPredicate.reset();
        else
            m_filterPredicate = std::make_shared<const SearchFilter>(m_filter, markedOnly);
    }
    merge();
}

QString DatasourceManager::filter() const
{
    std::lock_guard guard(m_stateLock);
    return m_filter;
}

bool DatasourceManager::isFiltered() const
{
    std::lock_guard guard(m_stateLock);
    return m_filterPredicate != nullptr;
}

void DatasourceManager::setShowMarkedOnly(bool markedOnly)
{
    m_markedOnly = markedOnly;
    setFilter(filter());
}

void DatasourceManager::markRead()
{
    m_markAllRead = true;
    m_hideAll = true;
    merge();
}

void DatasourceManager::markUnread()
{
    m_markAllUnread = true;
    m_showHidden = true;
    merge();
}

void DatasourceManager::showHidden()
{
    m_showHidden = true;
    merge();
}

void DatasourceManager::hideRead()
{
    m_showHidden = false;
    m_hide = true;
    merge();
}
