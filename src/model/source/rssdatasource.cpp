#include "model/source/rssdatasource.h"

#include "model/entry/itemkeys.h"
#include "model/parse/feedloader.h"
#include "model/parse/feedstrings.h"
#include "model/source/entryfiler.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "platform/clock.h"
#include "platform/mainthread.h"

#include <QImage>
#include <QLocale>

using namespace Qt::StringLiterals;

const QString RSSDatasource::twitterTimelinePrefix = u"http://twitter.com/statuses/user_timeline/"_s;

namespace {

const QString urlKey = u"url"_s;

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
    EntryFiler(*this, clock()).file(m_reader->takeEntries());
    removeUnmarked();
}

void RSSDatasource::endRefresh()
{
    m_reader.reset();
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

QString RSSDatasource::entriesLeftOutNotice() const
{
    const qsizetype entriesInDocument = m_reader->entriesInDocument();
    if (entriesInDocument <= maxEntriesPerDocument)
        return QString();
    const QLocale english(QLocale::English);
    return u"The feed lists %1 entries; only the first %2 were read."_s.arg(
        english.toString(entriesInDocument), english.toString(maxEntriesPerDocument));
}
