#include "model/source/rssdatasource.h"

#include "model/dates/feeddate.h"
#include "model/entry/itemkeys.h"
#include "model/parse/feedloader.h"
#include "model/parse/feedstrings.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "platform/clock.h"
#include "platform/mainthread.h"
#include "support/iso8601/iso8601dateformatter.h"

#include <QImage>
#include <QLocale>
#include <cmath>

using namespace Qt::StringLiterals;

const QString RSSDatasource::twitterTimelinePrefix = u"http://twitter.com/statuses/user_timeline/"_s;

namespace {

const QString urlKey = u"url"_s;

// Values are read trimmed, and most end with the white space that follows their element: a view
// of the text spares a trimmed copy of it.
template <typename Reader> QDateTime dateOfTrimmed(const PropertyValue::View &value, Reader read)
{
    if (value.isText())
        return read(value.text().trimmed());
    const QString text = value.toVariant().toString();
    return read(QStringView(text).trimmed());
}

QString trimmedText(const QVariant &value)
{
    return value.toString().trimmed();
}

} // namespace

std::shared_ptr<RSSDatasource> RSSDatasource::create(const std::optional<QVariantMap> &configuration,
                                                     UserDefaults &defaults, const Clock &clock,
                                                     RefreshEnvironment &environment,
                                                     ItemFileReadAhead *readAhead)
{
    // Refresh threads may hold the last reference; the object belongs to the main thread.
    auto deleteOnMainThread = [](RSSDatasource *source) {
        if (MainThread::isCurrent())
            delete source;
        else
            MainThread::post([source] { delete source; });
    };
    std::shared_ptr<RSSDatasource> source(new RSSDatasource(configuration, defaults, clock, environment),
                                          deleteOnMainThread);
    source->load(readAhead);
    return source;
}

RSSDatasource::RSSDatasource(const std::optional<QVariantMap> &configuration, UserDefaults &defaults,
                             const Clock &clock, RefreshEnvironment &environment)
    : Datasource(configuration, defaults, clock, environment)
{
    if (configuration)
        m_url = configuration->value(urlKey).toString();
    reset();
}

QString RSSDatasource::url() const
{
    std::lock_guard guard(m_urlLock);
    return m_url;
}

void RSSDatasource::setURL(const QString &url)
{
    {
        std::lock_guard guard(m_urlLock);
        m_url = url;
    }
    {
        // It was the old address's answer.
        std::lock_guard guard(m_statusLock);
        m_httpStatus.clear();
    }
    setUserDefaults(url, urlKey);
    updateData();
}

void RSSDatasource::reset()
{
    m_firstRun = true;
    std::lock_guard guard(lock());
    for (const DataItemPtr &item : itemsLocked())
        item->setObject(QVariant(), ItemPropertyKeys::get().sequence);
}

bool RSSDatasource::isTwitter() const
{
    return FeedStrings::feedURL(url()).toString().startsWith(twitterTimelinePrefix);
}

void RSSDatasource::setLoadOptions(const LoadOptions &options)
{
    std::lock_guard guard(m_optionsLock);
    m_loadOptions = options;
}

// The options of a download now: the limits as set, and the owner's stop, which cancels it.
RSSDatasource::LoadOptions RSSDatasource::loadOptions() const
{
    LoadOptions options;
    {
        std::lock_guard guard(m_optionsLock);
        options = m_loadOptions;
    }
    options.feed.stop = options.icon.stop = environment().refreshPool().stopToken();
    return options;
}

// ---- Refresh

// The source is claimed before anything is decided, so that of two callers at once (a refresh
// round and an address change) only one goes on; the claim is given up when no refresh starts.
bool RSSDatasource::updateData()
{
    if (bool idle = false; !m_running.compare_exchange_strong(idle, true))
        return true;
    const bool requested = m_refreshRequested.exchange(false);
    if (!requested && !isDue()) {
        m_running = false;
        return true;
    }
    const bool started = startClaimedRefresh();
    if (!started) {
        // Kept before the claim goes, so that no refresh can start and end in between.
        if (requested)
            m_refreshRequested = true;
        m_running = false;
    }
    return started;
}

RSSDatasource::RefreshRequest RSSDatasource::requestRefresh()
{
    if (!isEnabled())
        return RefreshRequest::Disabled;
    if (bool idle = false; !m_running.compare_exchange_strong(idle, true))
        return RefreshRequest::AlreadyRunning;
    if (startClaimedRefresh())
        return RefreshRequest::Started;
    m_refreshRequested = true;
    m_running = false;
    return RefreshRequest::Waiting;
}

bool RSSDatasource::startClaimedRefresh()
{
    const int capacity = environment().numberOfSources() / 30 + 3;
    auto self = std::static_pointer_cast<RSSDatasource>(shared_from_this());
    return environment().refreshPool().tryStart(capacity, [self](const RefreshPool::Release &release) {
        const bool success = self->_update();
        release();
        self->endRunning(success);
    });
}

QString RSSDatasource::httpStatus() const
{
    std::lock_guard guard(m_statusLock);
    return m_httpStatus;
}

bool RSSDatasource::isDue() const
{
    const QDateTime last = lastUpdatedAt();
    if (!last.isValid())
        return true;
    const qint64 elapsedSeconds = (std::llabs(last.msecsTo(clock().now())) + 999) / 1000;
    return elapsedSeconds >= qint64(refreshRate()) * 60;
}

bool RSSDatasource::_update()
{
    bool success = true;
    QString status;
    try {
        beginRefresh();
        const QUrl feedUrl = FeedStrings::feedURL(url());
        m_reader->setDocumentAddress(feedUrl);
        if (!feedUrl.isValid()) {
            success = false;
        } else {
            const LoadOptions options = loadOptions();
            FeedLoader loader(options.feed, options.parser);
            const QString error = loader.load(feedUrl, entryHandler());
            status = loader.lastFetch().statusText();
            if (error.isEmpty()) {
                m_failedTries = 0;
                if (image().isNull()) {
                    if (const auto icon = iconFetcher().favicon(feedUrl))
                        setImage(*icon);
                }
                fileEntries();
                const QString notice = entriesLeftOutNotice();
                if (!notice.isNull())
                    qWarning("%s: %s", qPrintable(feedUrl.toDisplayString()), qPrintable(notice));
                recordOutcome(status, notice);
            } else {
                ++m_failedTries;
                success = false;
                recordOutcome(status, error);
            }
            if (image().isNull()) {
                if (const auto icon = iconFetcher().iconOfLastTwoLabels(feedUrl))
                    setImage(*icon);
            }
        }
    } catch (const std::exception &exception) {
        // Shown with the feed like any failure, not only logged.
        success = false;
        qWarning("%s", exception.what());
        recordOutcome(status, QString::fromLocal8Bit(exception.what()));
    }
    endRefresh();
    finishRefresh(success);
    return success;
}

void RSSDatasource::beginRefresh()
{
    unmarkItems();
    m_reader = std::make_unique<RSSEntryReader>(static_cast<RSSEntryReader::Listener &>(*this));
    setInsertMode(!items().isEmpty() && !firstRun());
}

void RSSDatasource::fileEntries()
{
    fileParsedEntries();
    fileNewList();
    removeUnmarked();
}

void RSSDatasource::endRefresh()
{
    m_reader.reset();
    m_newList.clear();
    m_duplicates.clear();
}

void RSSDatasource::recordOutcome(const QString &httpStatus, const QString &errorString)
{
    onMainThread([this, httpStatus, errorString] {
        {
            std::lock_guard guard(m_statusLock);
            m_httpStatus = httpStatus;
        }
        setErrorString(errorString);
    });
}

// A failing feed keeps its due time for four tries, then waits a whole interval between tries.
void RSSDatasource::finishRefresh(bool success)
{
    if (success || (m_failedTries.load() >= 4 && environment().internetAvailable())) {
        onMainThread([this, success] {
            if (success)
                m_firstRun = false;
            setLastUpdateDate(success);
        });
    }
}

void RSSDatasource::endRunning(bool success)
{
    m_lastRefreshSucceeded = success;
    m_running = false;
    Q_EMIT refreshFinished(success);
}

void RSSDatasource::onMainThread(const std::function<void()> &function)
{
    environment().refreshPool().runOnMainThread(function);
}

// ---- Parser events

void RSSDatasource::feedTitleRead(const QString &title)
{
    onMainThread([this, title] { setName(title); });
}

void RSSDatasource::feedImageAddressRead(const QUrl &address)
{
    if (image().isNull())
        setImage(iconFetcher().image(address));
}

// Entries are filed once the whole document has parsed, so a document that breaks off half way
// adds nothing.
void RSSDatasource::fileParsedEntries()
{
    const std::vector<ParsedEntry> parsed = m_reader->takeEntries();
    {
        std::lock_guard guard(lock());
        m_duplicates.rebuild(itemsLocked(), qsizetype(parsed.size()));
    }
    for (const ParsedEntry &entry : parsed)
        fileEntry(entry);
}

// Files the entry unless the source already has it; replaces an updated one.
void RSSDatasource::fileEntry(const ParsedEntry &parsed)
{
    const DataItemPtr &entry = parsed.item;
    std::lock_guard guard(lock());
    const DuplicateIndex::Result match = m_duplicates.find(*entry, parsed.key, itemsLocked());
    switch (match.match) {
    case DuplicateIndex::Match::Update:
        replaceUpdatedItem(match.item, entry, parsed.key);
        break;
    case DuplicateIndex::Match::Known:
        markItem(match.item);
        break;
    case DuplicateIndex::Match::None:
        addCurrentItem(entry, parsed.key);
        markItem(entry);
        break;
    }
}

// An update keeps the stored entry's number and flags and is never announced.
void RSSDatasource::replaceUpdatedItem(const DataItemPtr &existing, const DataItemPtr &entry,
                                       const DuplicateIndex::Key &key)
{
    const PropertyKey &sequenceKey = ItemPropertyKeys::get().sequence;
    if (const QVariant sequence = existing->objectForKey(sequenceKey); sequence.isValid())
        entry->setObject(sequence, sequenceKey);
    entry->setShown(existing->shown());
    entry->setRead(existing->read());
    entry->setHidden(existing->hidden());
    const bool wasInserting = insertMode();
    setInsertMode(false);
    m_duplicates.remove(existing);
    removeItem(existing);
    addCurrentItem(entry, key);
    setInsertMode(wasInserting);
    markItem(entry);
}

// ---- Filing

// `key` is the entry's, as the known-entry lookup worked it out.
void RSSDatasource::addCurrentItem(const DataItemPtr &entry, const DuplicateIndex::Key &key)
{
    QDateTime date = resolveDate(*entry);
    date = date.isValid() ? correctFutureDate(date) : clock().now();
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    entry->setObject(QVariant(date), {&keys.originalDate, &keys.parsedDate});

    if (!insertMode()) {
        addItem(entry);
        m_duplicates.add(entry, key);
        return;
    }
    // Found late: more than four hours older than the newest entry shown, it is history.
    const qint64 age = FeedDate::ageInHours(date, clock());
    const DataItemPtr newest = numberOfItems() > 0 ? objectAtIndex(0) : nullptr;
    if (newest && FeedDate::ageInHours(newest->originalDate(), clock()) - age < -4) {
        setInsertMode(false);
        addItem(entry);
        m_duplicates.add(entry, key);
        setInsertMode(true);
    } else {
        m_newList.append(entry);
    }
}

// The first of pubDate, published and dc:date the entry has, read by its own format; failing
// that, the first of them read by the fail-over parser.
QDateTime RSSDatasource::resolveDate(DataItem &entry) const
{
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    QDateTime date;
    // Parsed where they are stored, without copies.
    entry.readValues(std::array{&keys.pubDate, &keys.published, &keys.dcDate}, [&date](const auto &values) {
        if (values[0].isValid())
            date = dateOfTrimmed(values[0], FeedDate::dateWithRSSPubDate);
        else if (values[1].isValid())
            date = dateOfTrimmed(values[1], FeedDate::dateWithAtomPubDate);
        else if (values[2].isValid())
            date = ISO8601DateFormatter().dateFromString(trimmedText(values[2].toVariant()));
    });
    if (date.isValid())
        return date;

    if (const QVariant lowerCase = entry.objectForKey(keys.pubdate); lowerCase.isValid())
        entry.setObject(lowerCase, keys.pubDate);
    for (const PropertyKey *key : {&keys.pubDate, &keys.published, &keys.dcDate})
        if (const QVariant value = entry.objectForKey(*key); value.isValid())
            return FeedDate::failOverParser(trimmedText(value));
    return QDateTime();
}

// Dates ahead of now come from servers with wrong zones: whole hours are taken back.
QDateTime RSSDatasource::correctFutureDate(const QDateTime &date) const
{
    const QDateTime now = clock().now();
    const double ahead = double(now.msecsTo(date)) / 1000.0;
    if (ahead > 600) {
        QDateTime corrected = date.addSecs(-qint64(std::floor(ahead / 3600)) * 3600);
        if (corrected > now)
            corrected = corrected.addSecs(-3600);
        return corrected;
    }
    return ahead > 0 ? now : date;
}

QString RSSDatasource::entriesLeftOutNotice() const
{
    const qsizetype entriesInDocument = m_reader->entriesInDocument();
    if (entriesInDocument <= maxEntriesPerDocument)
        return QString();
    const QLocale english(QLocale::English);
    return u"The feed lists %1 entries; only the first %2 were read."_s.arg(
        english.toString(entriesInDocument), english.toString(maxEntriesPerDocument));
}

// Arrivals are filed oldest first, so the newest ends on top and is announced last.
void RSSDatasource::fileNewList()
{
    std::stable_sort(m_newList.begin(), m_newList.end(), [](const DataItemPtr &a, const DataItemPtr &b) {
        return a->parsedDate() < b->parsedDate();
    });
    for (const DataItemPtr &item : std::as_const(m_newList))
        addItem(item);
}
