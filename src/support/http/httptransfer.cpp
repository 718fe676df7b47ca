#include "httptransfer.h"

#include <QStringDecoder>
#include <chrono>

using namespace Qt::StringLiterals;
using SteadyClock = std::chrono::steady_clock;

namespace {

// State shared with libcurl's callbacks for the length of one exchange.
struct TransferState {
    const HTTPTransferRequest &request;
    HTTPTransferResult &result;
    SteadyClock::time_point lastActivity = SteadyClock::now();
    curl_off_t uploaded = 0;
    curl_off_t downloaded = 0;
    qint64 headerBytes = 0;
    bool headersComplete = false;
    bool tooLarge = false;

    void touch() { lastActivity = SteadyClock::now(); }
    bool uploading() const { return !request.body.isEmpty() && uploaded < request.body.size(); }
};

// Header bytes are text in an unknown charset: UTF-8 when they are valid UTF-8, else ISO Latin-1.
QString decodeHeaderText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// A request header line for libcurl. Line breaks are removed so that a value cannot add header lines;
// an empty value needs libcurl's "Name;" form, since "Name:" would remove the header.
QByteArray headerLine(const QString &name, const QString &value)
{
    auto clean = [](const QString &text) {
        QByteArray bytes = text.toUtf8();
        bytes.replace('\r', ' ').replace('\n', ' ');
        return bytes;
    };
    if (value.isEmpty())
        return clean(name) + ';';
    return clean(name) + ": " + clean(value);
}

size_t readHeaderLine(TransferState *state, QByteArrayView line)
{
    const size_t length = static_cast<size_t>(line.size());
    state->touch();
    state->headerBytes += line.size();
    if (state->headerBytes > state->request.maximumResponseSize) {
        state->tooLarge = true;
        return 0;
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    HTTPTransferResult &result = state->result;
    if (line.startsWith("HTTP/")) {
        // A new response begins (after an interim 1xx one): only the last one counts.
        result.statusLine = decodeHeaderText(line);
        result.headers.clear();
        state->headersComplete = false;
        return length;
    }
    if (line.isEmpty()) {
        state->headersComplete = true;
        return length;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
        result.headers.append(decodeHeaderText(line.first(colon)).trimmed(),
                              decodeHeaderText(line.sliced(colon + 1)).trimmed());
    return length;
}

size_t readBody(TransferState *state, QByteArrayView data)
{
    state->touch();
    QByteArray &body = state->result.body;
    if (body.size() + data.size() > state->request.maximumResponseSize) {
        state->tooLarge = true;
        return 0;
    }
    body.append(data);
    return static_cast<size_t>(data.size());
}

// libcurl's callbacks must not throw: an exception is kept for the caller and the exchange aborted.
template <typename Reader>
size_t guarded(void *userData, char *data, size_t size, size_t count, Reader reader)
{
    auto *state = static_cast<TransferState *>(userData);
    try {
        return reader(state, QByteArrayView(data, static_cast<qsizetype>(size * count)));
    } catch (...) {
        state->result.exception = std::current_exception();
        return 0;
    }
}

size_t onHeader(char *data, size_t size, size_t count, void *userData)
{
    return guarded(userData, data, size, count, readHeaderLine);
}

size_t onBody(char *data, size_t size, size_t count, void *userData)
{
    return guarded(userData, data, size, count, readBody);
}

int onProgress(void *userData, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto *state = static_cast<TransferState *>(userData);
    if (downloaded != state->downloaded || uploaded != state->uploaded) {
        state->downloaded = downloaded;
        state->uploaded = uploaded;
        state->touch();
    }
    return 0;
}

void setMethodAndBody(CURL *easy, const HTTPTransferRequest &request)
{
    const QString &method = request.method;
    const bool hasBody = !request.body.isEmpty();
    if (method == u"HEAD"_s && !hasBody) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        return;
    }
    if (hasBody || method == u"POST"_s) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.constData());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    if (method != u"GET"_s && method != u"POST"_s)
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.toLatin1().constData());
}

curl_slist *headerList(const HTTPTransferRequest &request)
{
    curl_slist *list = nullptr;
    for (const auto &[name, value] : request.headers.fields())
        list = curl_slist_append(list, headerLine(name, value).constData());
    // Only what the request asks for is sent: no "Expect: 100-continue", no invented Content-Type.
    list = curl_slist_append(list, "Expect:");
    if (!request.headers.contains(u"Content-Type"_s))
        list = curl_slist_append(list, "Content-Type:");
    return list;
}

void configure(CURL *easy, const HTTPTransferRequest &request, TransferState &state, char *errorBuffer,
               curl_slist *headers)
{
    curl_easy_setopt(easy, CURLOPT_URL, request.url.toEncoded().constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     request.useHTTPVersionOne ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    setMethodAndBody(easy, request);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    // An empty proxy string also keeps libcurl from reading the environment on its own.
    curl_easy_setopt(easy, CURLOPT_PROXY,
                     request.proxy.isNull() ? "" : request.proxy.toCurlString().constData());
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!request.validatesSecureCertificate) {
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (!request.persistent)
        curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &state);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
}

bool isSecureTransportError(CURLcode code)
{
    switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return true;
    default:
        return false;
    }
}

bool isBrokenConnection(CURLcode code)
{
    return code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING ||
           code == CURLE_PARTIAL_FILE;
}

HTTPError transportError(CURLcode code, const char *errorBuffer)
{
    const QString message = QString::fromUtf8(*errorBuffer ? errorBuffer : curl_easy_strerror(code));
    if (code == CURLE_URL_MALFORMAT || code == CURLE_UNSUPPORTED_PROTOCOL)
        return HTTPError::make(HTTPErrorCode::UnableToCreateRequest, u"Unable to create request (bad url?)"_s,
                               {}, message);
    QString description = u"A connection failure occurred"_s;
    if (isSecureTransportError(code))
        description = u"%1: SSL problem (possibly a bad/expired/self-signed certificate)"_s.arg(description);
    return HTTPError::make(HTTPErrorCode::ConnectionFailure, description, message, message);
}

bool hasTimedOut(const TransferState &state, double timeOutSeconds)
{
    if (timeOutSeconds <= 0)
        return false;
    // An upload in progress gets half as long again: the server may be slow to take a large body.
    const double limit = state.uploading() ? timeOutSeconds * 1.5 : timeOutSeconds;
    const std::chrono::duration<double> idle = SteadyClock::now() - state.lastActivity;
    return idle.count() > limit;
}

// Drives the exchange until libcurl reports its end, or the time-out, the size cap or a cancel stops it.
std::optional<CURLcode> run(HTTPConnection &connection, TransferState &state, double timeOutSeconds,
                            const std::function<bool()> &isCancelled)
{
    HTTPTransferResult &result = state.result;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(connection.multi(), &running) != CURLM_OK)
            return CURLE_OUT_OF_MEMORY;
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(connection.multi(), &queued)) {
            if (message->msg == CURLMSG_DONE)
                return message->data.result;
        }
        if (isCancelled()) {
            result.outcome = HTTPTransferResult::Outcome::Cancelled;
            return std::nullopt;
        }
        if (hasTimedOut(state, timeOutSeconds)) {
            result.outcome = HTTPTransferResult::Outcome::TimedOut;
            return std::nullopt;
        }
        curl_multi_poll(connection.multi(), nullptr, 0, HTTPTransfer::checkIntervalMs, nullptr);
    }
}

} // namespace

HTTPTransferResult HTTPTransfer::perform(HTTPConnection &connection, const HTTPTransferRequest &request,
                                         const std::function<bool()> &isCancelled)
{
    HTTPTransferResult result;
    TransferState state{request, result};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL *easy = connection.easy();
    curl_slist *headers = headerList(request);
    configure(easy, request, state, errorBuffer, headers);

    if (curl_multi_add_handle(connection.multi(), easy) != CURLM_OK) {
        curl_slist_free_all(headers);
        result.error = HTTPError::withCode(HTTPErrorCode::UnableToCreateReadStream);
        return result;
    }
    const std::optional<CURLcode> finished = run(connection, state, request.timeOutSeconds, isCancelled);
    long newConnections = 0;
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &newConnections);
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    result.reusedConnection = connection.wasIdle() && newConnections == 0;
    curl_multi_remove_handle(connection.multi(), easy);
    // The handle may wait in the pool: leave it as new, without pointers to this call's buffers and headers.
    curl_easy_reset(easy);
    curl_slist_free_all(headers);

    if (!finished)
        return result;
    if (state.tooLarge) {
        result.outcome = HTTPTransferResult::Outcome::TooLarge;
    } else if (*finished == CURLE_OK && !state.headersComplete) {
        // libcurl accepts a connection that closes in the middle of the headers; that is a broken exchange.
        result.outcome = HTTPTransferResult::Outcome::Failed;
        result.error = HTTPError::make(HTTPErrorCode::ConnectionFailure, u"A connection failure occurred"_s,
                                       u"The connection closed before the response headers were complete."_s);
        result.connectionBroke = true;
    } else if (*finished == CURLE_OK) {
        result.statusCode = static_cast<int>(status);
        result.outcome = HTTPTransferResult::Outcome::Completed;
    } else {
        result.outcome = HTTPTransferResult::Outcome::Failed;
        result.error = transportError(*finished, errorBuffer);
        result.connectionBroke = isBrokenConnection(*finished);
    }
    return result;
}
