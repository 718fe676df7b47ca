#pragma once

#include "httpcookie.h"
#include "httperror.h"
#include "httpheaders.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <memory>
#include <mutex>
#include <optional>

class HTTPConnection;
struct HTTPTransferResult;

// An HTTP/1.1 request: configure it, run it once with startSynchronous() on any thread, then read the
// status, headers and body, or the error. Redirects, cookies, gzip bodies, proxies, time-outs with retries
// and persistent connections are handled on the way. An HTTP error status is not a failure: error() stays
// empty and responseStatusCode() tells.
//
// A request belongs to the thread that runs it; only cancel() may be called from another thread.
//
//     auto request = ASIFormDataRequest::requestWithURL(QUrl(u"https://example.org/login"_s));
//     request->setUseCookiePersistence(false);
//     request->setPostValue(u"reader"_s, u"service"_s);
//     request->startSynchronous();
//     if (request->error())
//         return request->error()->localizedDescription;
//     const int status = request->responseStatusCode();
//     const std::optional<QByteArray> body = request->responseData();
class ASIHTTPRequest {
public:
    explicit ASIHTTPRequest(const QUrl &url);
    virtual ~ASIHTTPRequest();
    ASIHTTPRequest(const ASIHTTPRequest &) = delete;
    ASIHTTPRequest &operator=(const ASIHTTPRequest &) = delete;

    static std::unique_ptr<ASIHTTPRequest> requestWithURL(const QUrl &url);

    // Process-wide default of timeOutSeconds for new requests (10 seconds).
    static double defaultTimeOutSeconds();
    static void setDefaultTimeOutSeconds(double seconds);
    // "<name> <version> (<system>; <distribution> <release>; <locale>)", or empty without an application
    // name.
    static QString defaultUserAgentString();

    // Configuration, before startSynchronous().
    QUrl url() const { return m_url; }
    void setURL(const QUrl &url) { m_url = url; }
    QString requestMethod() const { return m_requestMethod; }
    void setRequestMethod(const QString &method) { m_requestMethod = method; }
    // The headers to send; after the run they also show those the request added itself.
    const HTTPHeaders &requestHeaders() const { return m_requestHeaders; }
    // Replaces an earlier value of the same name (names compare without case).
    void addRequestHeader(const QString &name, const QString &value);
    // Cookies to send as they are, whatever their domain and path.
    QList<HTTPCookie> &requestCookies() { return m_requestCookies; }
    bool useCookiePersistence() const { return m_useCookiePersistence; }
    void setUseCookiePersistence(bool use) { m_useCookiePersistence = use; }
    QByteArray postBody() const { return m_postBody; }
    void setPostBody(const QByteArray &body) { m_postBody = body; }
    void appendPostData(const QByteArray &data) { m_postBody.append(data); }

    double timeOutSeconds() const { return m_timeOutSeconds; }
    void setTimeOutSeconds(double seconds) { m_timeOutSeconds = seconds; }
    int numberOfTimesToRetryOnTimeout() const { return m_numberOfTimesToRetryOnTimeout; }
    void setNumberOfTimesToRetryOnTimeout(int times) { m_numberOfTimesToRetryOnTimeout = times; }
    bool shouldRedirect() const { return m_shouldRedirect; }
    void setShouldRedirect(bool redirect) { m_shouldRedirect = redirect; }
    bool shouldUseRFC2616RedirectBehaviour() const { return m_shouldUseRFC2616RedirectBehaviour; }
    void setShouldUseRFC2616RedirectBehaviour(bool use) { m_shouldUseRFC2616RedirectBehaviour = use; }
    int redirectCount() const { return m_redirectCount; }
    bool allowCompressedResponse() const { return m_allowCompressedResponse; }
    void setAllowCompressedResponse(bool allow) { m_allowCompressedResponse = allow; }
    bool shouldCompressRequestBody() const { return m_shouldCompressRequestBody; }
    void setShouldCompressRequestBody(bool compress) { m_shouldCompressRequestBody = compress; }
    // IANA charset names; the default one decodes a response whose Content-Type names none.
    QByteArray defaultResponseEncoding() const { return m_defaultResponseEncoding; }
    void setDefaultResponseEncoding(const QByteArray &charset) { m_defaultResponseEncoding = charset; }
    bool validatesSecureCertificate() const { return m_validatesSecureCertificate; }
    void setValidatesSecureCertificate(bool validate) { m_validatesSecureCertificate = validate; }
    bool shouldAttemptPersistentConnection() const { return m_shouldAttemptPersistentConnection; }
    void setShouldAttemptPersistentConnection(bool attempt) { m_shouldAttemptPersistentConnection = attempt; }
    double persistentConnectionTimeoutSeconds() const { return m_persistentConnectionTimeoutSeconds; }
    void setPersistentConnectionTimeoutSeconds(double seconds)
    {
        m_persistentConnectionTimeoutSeconds = seconds;
    }
    bool useHTTPVersionOne() const { return m_useHTTPVersionOne; }
    void setUseHTTPVersionOne(bool use) { m_useHTTPVersionOne = use; }
    // An explicit proxy (port 8080 when none is set); without one the environment's http_proxy / https_proxy
    // / no_proxy decide.
    QString proxyHost() const { return m_proxyHost; }
    void setProxyHost(const QString &host) { m_proxyHost = host; }
    int proxyPort() const { return m_proxyPort; }
    void setProxyPort(int port) { m_proxyPort = port; }
    // Cap on the received body and on its inflated form (16 MiB by default); passing it fails the request.
    qint64 maximumResponseSize() const { return m_maximumResponseSize; }
    void setMaximumResponseSize(qint64 bytes) { m_maximumResponseSize = bytes; }

    // Runs the request to its end on the calling thread; the thread does nothing else meanwhile.
    void startSynchronous();
    // Stops a running request (from any thread); it fails with code 4.
    void cancel();
    bool isCancelled() const;
    bool inProgress() const { return m_inProgress; }
    bool complete() const { return m_complete; }

    // Results, once startSynchronous() has returned.
    const std::optional<HTTPError> &error() const { return m_error; }
    int responseStatusCode() const { return m_responseStatusCode; }
    QString responseStatusMessage() const { return m_responseStatusMessage; }
    const HTTPHeaders &responseHeaders() const { return m_responseHeaders; }
    QByteArray responseEncoding() const { return m_responseEncoding; }
    QByteArray rawResponseData() const { return m_rawResponseData; }
    // The body, inflated when it came gzip-encoded; nullopt when inflating failed.
    std::optional<QByteArray> responseData() const { return m_responseData; }
    // The body decoded with responseEncoding(); nullopt without data or when it does not decode.
    std::optional<QString> responseString() const;

protected:
    // Fills the body (and its Content-Type) before the first send; the base request sends postBody as set.
    virtual std::optional<HTTPError> buildPostBody() { return std::nullopt; }

private:
    enum class Step { Finished, SendAgain };

    // Records the failure and completes the request; the first error stays.
    void failWithError(const HTTPError &error);
    void run();
    Step sendOnce();
    // One exchange on a kept-alive or new connection, which goes back to the pool when it may be reused;
    // nullopt when no connection can be made.
    std::optional<HTTPTransferResult> exchange();
    std::optional<HTTPError> prepareBody();
    void buildRequestHeaders();
    Step handleTransferResult(HTTPTransferResult &result);
    Step handleResponse(HTTPTransferResult &result);
    void storeResponse(HTTPTransferResult &result);
    std::optional<HTTPError> decodeBody();
    bool shouldFollowRedirect() const;
    Step followRedirect();
    Step sendAgainOnNewConnection();
    void resetResponse();

    QUrl m_url;
    QString m_requestMethod = QStringLiteral("GET");
    HTTPHeaders m_requestHeaders;
    QList<HTTPCookie> m_requestCookies;
    bool m_useCookiePersistence = true;
    QByteArray m_postBody;
    double m_timeOutSeconds;
    int m_numberOfTimesToRetryOnTimeout = 0;
    bool m_shouldRedirect = true;
    bool m_shouldUseRFC2616RedirectBehaviour = false;
    bool m_allowCompressedResponse = true;
    bool m_shouldCompressRequestBody = false;
    QByteArray m_defaultResponseEncoding = QByteArrayLiteral("ISO-8859-1");
    bool m_validatesSecureCertificate = true;
    bool m_shouldAttemptPersistentConnection = true;
    double m_persistentConnectionTimeoutSeconds = 60;
    bool m_useHTTPVersionOne = false;
    QString m_proxyHost;
    int m_proxyPort = 0;
    qint64 m_maximumResponseSize = 16 * 1024 * 1024;

    // Progress of the run.
    bool m_inProgress = false;
    bool m_complete = false;
    bool m_haveBuiltPostBody = false;
    bool m_haveBuiltRequestHeaders = false;
    int m_redirectCount = 0;
    int m_retryCount = 0;
    bool m_retriedBrokenConnection = false;
    bool m_needsNewConnection = false;

    // Guards the cancel flag and the transfer a cancel must wake.
    mutable std::mutex m_cancelMutex;
    bool m_cancelled = false;
    HTTPConnection *m_activeConnection = nullptr;

    // Results.
    std::optional<HTTPError> m_error;
    int m_responseStatusCode = 0;
    QString m_responseStatusMessage;
    HTTPHeaders m_responseHeaders;
    QByteArray m_responseEncoding;
    QByteArray m_rawResponseData;
    std::optional<QByteArray> m_responseData;
};
