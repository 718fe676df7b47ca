#pragma once

#include "model/parse/feedparser.h"
#include "model/source/datasource.h"
#include "model/source/feediconfetcher.h"
#include "model/source/rssentryreader.h"
#include "platform/network/feedfetcher.h"

#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

class RefreshEnvironment;

// A feed source that fetches an RSS 2.0 or Atom document, files its entries (announcing new ones
// after the first run), recognises entries it already has, and finds the feed's icon.
//
// Each refresh runs on a thread of its own from the owner's refresh pool and keeps the source
// alive until it ends; at most (number of sources / 30 + 3) refreshes run at once across the
// owner's sources. The parse state below belongs to the refresh thread; `running` makes
// refreshes of one source exclusive. Names, error text and refresh bookkeeping are handed to the
// main thread, which the refresh waits for. Closing the pool cancels the downloads under way.
class RSSDatasource : public Datasource, private RSSEntryReader::Listener {
    Q_OBJECT
public:
    struct LoadOptions {
        FetchOptions feed = FetchOptions::forFeeds();
        FetchOptions icon = FetchOptions::forIcons();
        FeedParser::Options parser;
    };

    // Sources are shared: a running refresh holds its source. Destruction happens on the main
    // thread. The source has loaded its item file, from the read-ahead when it holds the file.
    static std::shared_ptr<RSSDatasource> create(const std::optional<QVariantMap> &configuration,
                                                 UserDefaults &defaults, const Clock &clock,
                                                 RefreshEnvironment &environment,
                                                 ItemFileReadAhead *readAhead = nullptr);

    QString url() const;
    void setURL(const QString &url);
    bool firstRun() const override { return m_firstRun.load(); }
    void reset() override;
    bool updateData() override;
    bool isTwitter() const override;

    // What came of asking for a refresh out of turn.
    enum class RefreshRequest { Started, Waiting, AlreadyRunning, Disabled };
    // Starts a refresh now, due or not, within the same capacity as the rounds. When every slot is
    // taken the request is kept, and the next round's due-check starts it once. A source that is
    // refreshing already, or disabled, is left alone.
    RefreshRequest requestRefresh();
    bool refreshRequested() const override { return m_refreshRequested.load(); }

    // The HTTP status of the last refresh that asked the server ("200 OK", "404 Not Found"), or
    // the transfer's error when no answer came; empty before that and after an address change.
    // Set on the main thread with the error text, whose notification announces both.
    QString httpStatus() const;

    bool isRunning() const { return m_running.load(); }
    int failedTries() const { return m_failedTries.load(); }
    // Whether the last refresh that ended read the feed; its error text may then still carry a
    // notice, such as entries left out of an oversized document.
    bool lastRefreshSucceeded() const { return m_lastRefreshSucceeded.load(); }

    // Limits of downloads and parsing; tests shorten them. Their stop tokens are the refresh pool's.
    void setLoadOptions(const LoadOptions &options);

    // The body of one refresh, on the calling thread: updateData runs it on a thread of the
    // refresh pool; tools and benchmarks may call it directly while no refresh of the source runs.
    // True when the refresh succeeded.
    bool _update();

    // The steps of _update around the download, for a caller with the document at hand and no
    // refresh of the source under way: beginRefresh(), the document parsed into entryHandler(),
    // fileEntries() when it parsed whole, then endRefresh(). The refresh bookkeeping (first run,
    // last update, error text) is left to _update.
    void beginRefresh();
    FeedParserHandler &entryHandler() { return *m_reader; }
    // Files the parsed entries: known ones are marked, updated ones replaced, new ones added or
    // (after the first run) announced; entries the feed no longer has are counted out.
    void fileEntries();
    void endRefresh();

    // New item with the RSS keys of an Atom entry.
    static DataItemPtr convertAtomToRSS(const DataItem &entry)
    {
        return RSSEntryReader::convertAtomToRSS(entry);
    }

    // A document contributes at most this many entries, the first ones in document order; a
    // refresh that leaves some out says so in the error text.
    static constexpr qsizetype maxEntriesPerDocument = RSSEntryReader::maxEntriesPerDocument;

    // The address prefix of the social network's user timelines.
    static const QString twitterTimelinePrefix;

Q_SIGNALS:
    // A refresh has ended and the next may start (emitted on the refresh thread).
    void refreshFinished(bool success);

private:
    RSSDatasource(const std::optional<QVariantMap> &configuration, UserDefaults &defaults, const Clock &clock,
                  RefreshEnvironment &environment);

    void feedTitleRead(const QString &title) override;
    void feedImageAddressRead(const QUrl &address) override;

    // The error text of a refresh that read the whole document; null unless entries were left out.
    QString entriesLeftOutNotice() const;
    FeedIconFetcher iconFetcher() const { return FeedIconFetcher(loadOptions().icon); }
    bool isDue() const;
    // Starts the refresh of a source whose `running` the caller has claimed; false when the
    // pool has no free slot.
    bool startClaimedRefresh();
    void recordOutcome(const QString &httpStatus, const QString &errorString);
    void finishRefresh(bool success);
    void endRunning(bool success);
    void onMainThread(const std::function<void()> &function);
    LoadOptions loadOptions() const;

    mutable std::mutex m_urlLock;
    QString m_url;
    mutable std::mutex m_optionsLock;
    LoadOptions m_loadOptions;

    mutable std::mutex m_statusLock;
    QString m_httpStatus;

    std::atomic<bool> m_running = false;
    std::atomic<bool> m_refreshRequested = false;
    std::atomic<bool> m_firstRun = true;
    std::atomic<int> m_failedTries = 0;
    std::atomic<bool> m_lastRefreshSucceeded = false;

    // The parse state, owned by the refresh under way. The reader is made for each refresh:
    // sources wait far longer than they read, and 500 idle readers would hold a megabyte between them.
    std::unique_ptr<RSSEntryReader> m_reader;
};
