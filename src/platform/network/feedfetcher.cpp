#include "platform/network/feedfetcher.h"

#include "buildinfo.h"

#include <curl/curl.h>

#include <QHash>

#include <algorithm>
#include <mutex>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

using SteadyClock = std::chrono::steady_clock;

QString cancelledError()
{
    return u"Cancelled"_s;
}

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

constexpr qsizetype maxReasonLength = 80;

QString reasonPhrase(int status)
{
    static const QHash<int, QString> phrases{
        {400, u"Bad Request"_s},         {401, u"Unauthorized"_s},
        {403, u"Forbidden"_s},           {404, u"Not Found"_s},
        {405, u"Method Not Allowed"_s},  {406, u"Not Acceptable"_s},
        {408, u"Request Timeout"_s},     {410, u"Gone"_s},
        {429, u"Too Many Requests"_s},   {500, u"Internal Server Error"_s},
        {501, u"Not Implemented"_s},     {502, u"Bad Gateway"_s},
        {503, u"Service Unavailable"_s}, {504, u"Gateway Timeout"_s}};
    return phrases.value(status);
}

QString describeDuration(std::chrono::milliseconds duration)
{
    if (duration.count() % 1000 == 0)
        return duration.count() == 1000 ? u"1 second"_s : u"%1 seconds"_s.arg(duration.count() / 1000);
    return u"%1 ms"_s.arg(duration.count());
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

// State of one transfer, shared with libcurl's callbacks.
struct FeedFetcher::Transfer {
    Transfer(const FetchOptions &o, const BodyConsumer &c) : options(o), consumer(c) {}

    const FetchOptions &options;
    const BodyConsumer &consumer;
    CURL *easy = nullptr;
    FetchResponse response;
    QString reason; // reason phrase of the latest status line
    bool bodyStarted = false;
    bool consumerStopped = false;
    qint64 bytes = 0;
    QString error;
    SteadyClock::time_point lastActivity = SteadyClock::now();

    QString statusError() const
    {
        const QString phrase = reason.isEmpty() ? reasonPhrase(response.status) : reason;
        return phrase.isEmpty() ? u"HTTP %1"_s.arg(response.status)
                                : u"HTTP %1 %2"_s.arg(response.status).arg(phrase);
    }

    void takeResponseInfo()
    {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
        char *effective = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
        if (effective)
            response.url = QUrl::fromEncoded(effective);
    }

    static size_t onHeader(char *data, size_t size, size_t count, void *userData)
    {
        auto *t = static_cast<Transfer *>(userData);
        const size_t length = size * count;
        t->lastActivity = SteadyClock::now();
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(length)).trimmed();
        if (line.startsWith("HTTP/")) {
            // A new response (after a redirect, or a final one): forget the previous headers.
            const QList<QByteArray> parts = line.split(' ');
            t->response.status = parts.size() > 1 ? parts[1].toInt() : 0;
            const qsizetype reasonStart = parts.size() > 2 ? line.indexOf(' ', line.indexOf(' ') + 1) : -1;
            // Shown to the user: a server's whim of a phrase is cut short.
            t->reason = reasonStart > 0
                            ? QString::fromLatin1(line.mid(reasonStart + 1, maxReasonLength)).trimmed()
                            : QString();
            t->response.contentType.clear();
        } else if (line.toLower().startsWith("content-type:")) {
            t->response.contentType = line.mid(13).trimmed();
        }
        return length;
    }

    static size_t onBody(char *data, size_t size, size_t count, void *userData)
    {
        auto *t = static_cast<Transfer *>(userData);
        const size_t length = size * count;
        t->lastActivity = SteadyClock::now();
        if (!t->bodyStarted) {
            t->bodyStarted = true;
            t->takeResponseInfo();
            if (t->response.status >= 400) {
                t->error = t->statusError();
                return 0;
            }
        }
        t->bytes += static_cast<qint64>(length);
        if (t->bytes > t->options.maxBytes) {
            t->error = u"Download exceeds %1"_s.arg(formatSize(t->options.maxBytes));
            return 0;
        }
        if (!t->consumer(t->response, QByteArrayView(data, static_cast<qsizetype>(length)))) {
            t->consumerStopped = true;
            return 0;
        }
        return length;
    }
};

FetchOptions FetchOptions::forIcons()
{
    FetchOptions options;
    options.maxBytes = 1024 * 1024;
    options.deadline = std::chrono::seconds(60);
    options.bypassCaches = true;
    return options;
}

FeedFetcher::FeedFetcher(FetchOptions options) : m_options(options)
{
    initialiseCurl();
    m_multi = curl_multi_init();
}

FeedFetcher::~FeedFetcher()
{
    curl_multi_cleanup(static_cast<CURLM *>(m_multi));
}

QString FeedFetcher::userAgent()
{
    return u"%1/%2"_s.arg(QString::fromLatin1(buildinfo::applicationName),
                          QString::fromLatin1(buildinfo::version));
}

QString FeedFetcher::formatSize(qint64 bytes)
{
    constexpr qint64 kib = 1024;
    constexpr qint64 mib = 1024 * kib;
    if (bytes >= mib && bytes % mib == 0)
        return u"%1 MiB"_s.arg(bytes / mib);
    if (bytes >= kib && bytes % kib == 0)
        return u"%1 KiB"_s.arg(bytes / kib);
    return u"%1 bytes"_s.arg(bytes);
}

void FeedFetcher::cancel()
{
    m_cancelled = true;
    curl_multi_wakeup(static_cast<CURLM *>(m_multi));
}

QString FetchResult::statusText() const
{
    if (status == 0)
        return error;
    return reason.isEmpty() ? QString::number(status) : u"%1 %2"_s.arg(status).arg(reason);
}

FetchResult FeedFetcher::fetch(const QUrl &url, QByteArray &body)
{
    return fetch(url, [&body](const FetchResponse &, QByteArrayView bytes) {
        body.append(bytes.data(), bytes.size());
        return true;
    });
}

FetchResult FeedFetcher::fetch(const QUrl &url, const BodyConsumer &consumer)
{
    FetchResult result;
    result.url = url;
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        result.error = u"Unsupported address: %1"_s.arg(url.toDisplayString());
        return result;
    }
    if (m_options.stop.stop_requested()) {
        result.error = cancelledError();
        return result;
    }
    Transfer transfer(m_options, consumer);
    CURL *easy = curl_easy_init();
    auto *multi = static_cast<CURLM *>(m_multi);
    transfer.easy = easy;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray encodedUrl = url.toEncoded();
    const QByteArray agent = userAgent().toUtf8();
    curl_slist *headers = nullptr;
    if (m_options.bypassCaches) {
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
    }
    curl_easy_setopt(easy, CURLOPT_URL, encodedUrl.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(m_options.maxRedirects));
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_options.idleTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBytes));
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    m_cancelled = false;
    const std::stop_callback cancelOnStop(m_options.stop, [this] { cancel(); });
    curl_multi_add_handle(multi, easy);

    const auto start = SteadyClock::now();
    CURLcode code = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                code = message->data.result;
                done = true;
            }
        }
        if (done || running == 0)
            break;
        const auto now = SteadyClock::now();
        if (m_cancelled) {
            transfer.error = cancelledError();
            break;
        }
        if (now - transfer.lastActivity >= m_options.idleTimeout) {
            transfer.error = u"No data received for %1"_s.arg(describeDuration(m_options.idleTimeout));
            break;
        }
        if (now - start >= m_options.deadline) {
            transfer.error = u"Download not finished after %1"_s.arg(describeDuration(m_options.deadline));
            break;
        }
        const auto wait =
            std::min(transfer.lastActivity + m_options.idleTimeout, start + m_options.deadline) - now;
        const auto waitMs = std::clamp<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(wait).count() + 1, 1, 1000);
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(waitMs), nullptr);
    }

    if (!transfer.bodyStarted)
        transfer.takeResponseInfo();
    result.status = transfer.response.status;
    result.reason = transfer.reason.isEmpty() ? reasonPhrase(result.status) : transfer.reason;
    result.contentType = transfer.response.contentType;
    result.url = transfer.response.url.isValid() ? transfer.response.url : url;
    result.bytes = transfer.bytes;
    if (!transfer.error.isEmpty()) {
        result.error = transfer.error;
    } else if (transfer.consumerStopped) {
        result.error = u"Stopped by the reader"_s;
    } else if (code == CURLE_OK) {
        if (transfer.response.status >= 400)
            result.error = transfer.statusError();
    } else {
        long osError = 0;
        curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osError);
        switch (code) {
        case CURLE_COULDNT_CONNECT:
            result.error = osError ? capitalised(QString::fromStdString(
                                         std::generic_category().message(static_cast<int>(osError))))
                                   : u"Could not connect to %1"_s.arg(url.host());
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            result.error = u"Host not found: %1"_s.arg(url.host());
            break;
        case CURLE_COULDNT_RESOLVE_PROXY:
            result.error = u"Proxy not found"_s;
            break;
        case CURLE_TOO_MANY_REDIRECTS:
            result.error = u"Too many redirects (more than %1)"_s.arg(m_options.maxRedirects);
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            result.error = u"Redirected to an unsupported address"_s;
            break;
        case CURLE_FILESIZE_EXCEEDED:
            result.error = u"Download exceeds %1"_s.arg(formatSize(m_options.maxBytes));
            break;
        case CURLE_OPERATION_TIMEDOUT:
            result.error = u"No data received for %1"_s.arg(describeDuration(m_options.idleTimeout));
            break;
        case CURLE_GOT_NOTHING:
            result.error = u"The server closed the connection without replying"_s;
            break;
        case CURLE_PARTIAL_FILE:
            result.error = u"The connection closed before the download was complete"_s;
            break;
        default:
            result.error = capitalised(errorBuffer[0] ? QString::fromUtf8(errorBuffer).trimmed()
                                                      : QString::fromUtf8(curl_easy_strerror(code)));
            break;
        }
    }

    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    return result;
}
