#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <functional>
#include <stop_token>

// Limits and manners of one download.
struct FetchOptions {
    // The transfer fails when no byte arrives for this long (connecting included).
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(60)};
    // The transfer fails when it is not over after this long, however steadily bytes arrive.
    std::chrono::milliseconds deadline{std::chrono::minutes(5)};
    // Largest body accepted, counted after decompression.
    qint64 maxBytes = 32 * 1024 * 1024;
    int maxRedirects = 10;
    // Ask caches on the way for a fresh copy.
    bool bypassCaches = false;
    // Once a stop is requested, transfers give up at once with the error "Cancelled", and new ones
    // do not start.
    std::stop_token stop;

    static FetchOptions forFeeds() { return {}; }
    static FetchOptions forIcons();
};

// What the server said before the body.
struct FetchResponse {
    int status = 0;
    QByteArray contentType;
    QUrl url; // after redirects
};

struct FetchResult {
    // Plain words such as "HTTP 404 Not Found", "Connection refused", "Download exceeds 32 MiB";
    // empty on success.
    QString error;
    int status = 0; // of the last answer; 0 when none came
    QString reason; // its reason phrase, when it had one
    QByteArray contentType;
    QUrl url;
    qint64 bytes = 0;

    bool ok() const { return error.isEmpty(); }
    // The last answer's status and reason ("200 OK", "404 Not Found"), or the error when no
    // answer came.
    QString statusText() const;
};

// Downloads over HTTP(S) with libcurl: follows redirects (HTTP and HTTPS only), accepts gzip and
// deflate, takes proxies from the environment (http_proxy, https_proxy, no_proxy) and names
// itself "Vantrel/<version>". A status of 400 or more is a failure whose error is the status
// line; its body is not delivered. Blocking; one fetch at a time per object, on any thread.
class FeedFetcher {
public:
    // Receives the body as it arrives (already decompressed). Return false to stop the transfer.
    using BodyConsumer = std::function<bool(const FetchResponse &response, QByteArrayView bytes)>;

    explicit FeedFetcher(FetchOptions options = {});
    ~FeedFetcher();
    FeedFetcher(const FeedFetcher &) = delete;
    FeedFetcher &operator=(const FeedFetcher &) = delete;

    FetchResult fetch(const QUrl &url, const BodyConsumer &consumer);
    // Collects the whole body into `body` (for small things such as icons).
    FetchResult fetch(const QUrl &url, QByteArray &body);

    // Makes the fetch under way on another thread give up at once with the error "Cancelled".
    // Safe from any thread; a cancel before the fetch starts is forgotten when it starts.
    void cancel();

    static QString userAgent();
    // "32 MiB", "512 KiB", "100 bytes".
    static QString formatSize(qint64 bytes);

private:
    struct Transfer;

    FetchOptions m_options;
    std::atomic<bool> m_cancelled{false};
    void *m_multi = nullptr; // libcurl multi handle, for the object's lifetime (cancel() wakes it)
};
