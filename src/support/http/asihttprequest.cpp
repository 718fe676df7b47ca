#include "asihttprequest.h"

#include "asidatacompressor.h"
#include "asidatadecompressor.h"
#include "buildinfo.h"
#include "httpconnectionpool.h"
#include "httpcookiestorage.h"
#include "httpproxy.h"
#include "httptransfer.h"

#include <QLocale>
#include <QStringDecoder>
#include <QSysInfo>
#include <atomic>
#include <cxxabi.h>
#include <typeinfo>

using namespace Qt::StringLiterals;

namespace {

std::atomic<double> processDefaultTimeOutSeconds{10.0};
constexpr int maximumRedirects = 5;
constexpr int defaultExplicitProxyPort = 8080;

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

int portOf(const QUrl &url)
{
    return url.port(url.scheme() == u"https"_s ? 443 : 80);
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme().toLower() == b.scheme().toLower() && a.host().toLower() == b.host().toLower() &&
           portOf(a) == portOf(b);
}

bool isUsableURL(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty();
}

// The charset parameter of a Content-Type value, without quotes; empty when there is none.
QByteArray charsetOf(const QString &contentType)
{
    const QStringList parameters = contentType.split(u';');
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QString parameter = parameters.at(i).trimmed();
        if (!parameter.startsWith(u"charset="_s, Qt::CaseInsensitive))
            continue;
        QString charset = parameter.mid(8).trimmed();
        if (charset.size() >= 2 && charset.startsWith(u'"') && charset.endsWith(u'"'))
            charset = charset.mid(1, charset.size() - 2);
        return charset.toLatin1();
    }
    return {};
}

QString exceptionName(const std::exception &exception)
{
    const char *mangled = typeid(exception).name();
    int status = 0;
    char *demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const QString name = QString::fromLatin1(status == 0 && demangled ? demangled : mangled);
    std::free(demangled);
    return name;
}

// Connections are shared only between requests to the same place, through the same proxy, with the same
// certificate checking: an unchecked connection must never serve a request that wants checking.
QString connectionKey(const QUrl &url, const HTTPProxy &proxy, bool validatesCertificate)
{
    return u"%1://%2:%3 via %4%5"_s.arg(url.scheme().toLower(), url.host().toLower())
        .arg(portOf(url))
        .arg(QString::fromLatin1(proxy.toCurlString()), validatesCertificate ? QString() : u" unchecked"_s);
}

} // namespace

ASIHTTPRequest::ASIHTTPRequest(const QUrl &url)
    : m_url(url), m_timeOutSeconds(processDefaultTimeOutSeconds.load())
{
}

ASIHTTPRequest::~ASIHTTPRequest() = default;

std::unique_ptr<ASIHTTPRequest> ASIHTTPRequest::requestWithURL(const QUrl &url)
{
    return std::make_unique<ASIHTTPRequest>(url);
}

double ASIHTTPRequest::defaultTimeOutSeconds()
{
    return processDefaultTimeOutSeconds.load();
}

void ASIHTTPRequest::setDefaultTimeOutSeconds(double seconds)
{
    processDefaultTimeOutSeconds.store(seconds);
}

QString ASIHTTPRequest::defaultUserAgentString()
{
    static const QString agent = [] {
        const QString name = QString::fromUtf8(buildinfo::applicationName);
        if (name.isEmpty())
            return QString();
        return u"%1 %2 (%3; %4 %5; %6)"_s.arg(
            name, QString::fromUtf8(buildinfo::version), capitalised(QSysInfo::kernelType()),
            capitalised(QSysInfo::productType()), QSysInfo::productVersion(), QLocale::system().name());
    }();
    return agent;
}

void ASIHTTPRequest::addRequestHeader(const QString &name, const QString &value)
{
    m_requestHeaders.set(name, value);
}

void ASIHTTPRequest::startSynchronous()
{
    if (m_complete)
        return;
    m_inProgress = true;
    try {
        if (isCancelled())
            failWithError(HTTPError::withCode(HTTPErrorCode::RequestCancelled));
        else
            run();
    } catch (const std::exception &exception) {
        failWithError(HTTPError::make(HTTPErrorCode::UnhandledException, exceptionName(exception),
                                      QString::fromUtf8(exception.what())));
    } catch (...) {
        failWithError(HTTPError::make(HTTPErrorCode::UnhandledException, u"Unknown exception"_s));
    }
    m_inProgress = false;
}

void ASIHTTPRequest::cancel()
{
    std::lock_guard lock(m_cancelMutex);
    m_cancelled = true;
    if (m_activeConnection)
        curl_multi_wakeup(m_activeConnection->multi());
}

bool ASIHTTPRequest::isCancelled() const
{
    std::lock_guard lock(m_cancelMutex);
    return m_cancelled;
}

void ASIHTTPRequest::failWithError(const HTTPError &error)
{
    if (!m_error)
        m_error = error;
    m_complete = true;
}

void ASIHTTPRequest::run()
{
    while (!m_complete && sendOnce() == Step::SendAgain) {
    }
}

ASIHTTPRequest::Step ASIHTTPRequest::sendOnce()
{
    if (!isUsableURL(m_url)) {
        failWithError(HTTPError::withCode(HTTPErrorCode::UnableToCreateRequest));
        return Step::Finished;
    }
    if (std::optional<HTTPError> bodyError = prepareBody()) {
        failWithError(*bodyError);
        return Step::Finished;
    }
    buildRequestHeaders();
    std::optional<HTTPTransferResult> result = exchange();
    if (!result) {
        failWithError(HTTPError::withCode(HTTPErrorCode::UnableToCreateReadStream));
        return Step::Finished;
    }
    return handleTransferResult(*result);
}

std::optional<HTTPTransferResult> ASIHTTPRequest::exchange()
{
    const HTTPProxy proxy =
        m_proxyHost.isEmpty()
            ? HTTPProxy::fromEnvironment(m_url)
            : HTTPProxy(m_proxyHost, m_proxyPort > 0 ? m_proxyPort : defaultExplicitProxyPort);
    HTTPConnectionPool &pool = HTTPConnectionPool::sharedPool();
    std::unique_ptr<HTTPConnection> connection =
        pool.takeConnection(connectionKey(m_url, proxy, m_validatesSecureCertificate),
                            m_shouldAttemptPersistentConnection && !m_needsNewConnection);
    m_needsNewConnection = false;
    if (!connection)
        return std::nullopt;

    const HTTPTransferRequest transfer{.url = m_url,
                                       .method = m_requestMethod,
                                       .headers = m_requestHeaders,
                                       .body = m_postBody,
                                       .useHTTPVersionOne = m_useHTTPVersionOne,
                                       .proxy = proxy,
                                       .validatesSecureCertificate = m_validatesSecureCertificate,
                                       .persistent = m_shouldAttemptPersistentConnection,
                                       .timeOutSeconds = m_timeOutSeconds,
                                       .maximumResponseSize = m_maximumResponseSize};
    {
        std::lock_guard lock(m_cancelMutex);
        m_activeConnection = connection.get();
    }
    HTTPTransferResult result =
        HTTPTransfer::perform(*connection, transfer, [this] { return isCancelled(); });
    {
        std::lock_guard lock(m_cancelMutex);
        m_activeConnection = nullptr;
    }
    if (result.exception)
        std::rethrow_exception(result.exception);

    if (result.outcome == HTTPTransferResult::Outcome::Completed && m_shouldAttemptPersistentConnection) {
        const std::optional<double> lifetime = HTTPConnectionPool::reuseLifetime(
            result.statusLine, result.headers, m_persistentConnectionTimeoutSeconds);
        if (lifetime)
            pool.makeIdle(std::move(connection), *lifetime);
    }
    return result;
}

std::optional<HTTPError> ASIHTTPRequest::prepareBody()
{
    if (m_haveBuiltPostBody)
        return std::nullopt;
    m_haveBuiltPostBody = true;
    if (std::optional<HTTPError> error = buildPostBody())
        return error;
    if (m_postBody.isEmpty())
        return std::nullopt;
    if (m_shouldCompressRequestBody) {
        ASIDataCompressor::Result compressed = ASIDataCompressor::compressData(m_postBody);
        if (compressed.error)
            return compressed.error;
        m_postBody = std::move(compressed.data);
    }
    m_requestHeaders.set(u"Content-Length"_s, QString::number(m_postBody.size()));
    if (m_requestMethod == u"GET"_s || m_requestMethod == u"DELETE"_s || m_requestMethod == u"HEAD"_s)
        m_requestMethod = u"POST"_s;
    return std::nullopt;
}

void ASIHTTPRequest::buildRequestHeaders()
{
    if (m_haveBuiltRequestHeaders)
        return;
    m_haveBuiltRequestHeaders = true;

    if (m_useCookiePersistence)
        m_requestCookies.append(HTTPCookieStorage::sharedStorage().cookiesForURL(m_url));
    if (!m_requestCookies.isEmpty()) {
        QStringList pairs;
        for (const HTTPCookie &cookie : std::as_const(m_requestCookies))
            pairs.append(cookie.name + u'=' + cookie.value);
        m_requestHeaders.set(u"Cookie"_s, pairs.join(u"; "_s));
    }
    if (!m_requestHeaders.contains(u"User-Agent"_s)) {
        const QString agent = defaultUserAgentString();
        if (!agent.isEmpty())
            m_requestHeaders.set(u"User-Agent"_s, agent);
    }
    if (m_allowCompressedResponse)
        m_requestHeaders.set(u"Accept-Encoding"_s, u"gzip"_s);
    if (m_shouldCompressRequestBody)
        m_requestHeaders.set(u"Content-Encoding"_s, u"gzip"_s);
}

ASIHTTPRequest::Step ASIHTTPRequest::handleTransferResult(HTTPTransferResult &result)
{
    using Outcome = HTTPTransferResult::Outcome;
    switch (result.outcome) {
    case Outcome::Completed:
        return handleResponse(result);
    case Outcome::Cancelled:
        failWithError(HTTPError::withCode(HTTPErrorCode::RequestCancelled));
        return Step::Finished;
    case Outcome::TimedOut:
        if (m_retryCount < m_numberOfTimesToRetryOnTimeout) {
            ++m_retryCount;
            return sendAgainOnNewConnection();
        }
        failWithError(HTTPError::withCode(HTTPErrorCode::RequestTimedOut));
        return Step::Finished;
    case Outcome::TooLarge:
        failWithError(HTTPError::make(HTTPErrorCode::ResponseTooLarge,
                                      u"The response is larger than %1 bytes"_s.arg(m_maximumResponseSize),
                                      u"The server sent more than the request accepts."_s));
        return Step::Finished;
    case Outcome::Failed:
        // A kept-alive connection the server closed meanwhile deserves one fresh attempt.
        if (result.connectionBroke && result.reusedConnection && !m_retriedBrokenConnection) {
            m_retriedBrokenConnection = true;
            return sendAgainOnNewConnection();
        }
        failWithError(result.error.value_or(HTTPError::withCode(HTTPErrorCode::ConnectionFailure)));
        return Step::Finished;
    }
    return Step::Finished;
}

ASIHTTPRequest::Step ASIHTTPRequest::sendAgainOnNewConnection()
{
    m_needsNewConnection = true;
    resetResponse();
    return Step::SendAgain;
}

ASIHTTPRequest::Step ASIHTTPRequest::handleResponse(HTTPTransferResult &result)
{
    storeResponse(result);
    // No credentials are ever available to answer a challenge with.
    if (m_responseStatusCode == 401 || m_responseStatusCode == 407) {
        decodeBody();
        failWithError(HTTPError::withCode(HTTPErrorCode::AuthenticationNeeded));
        return Step::Finished;
    }
    if (shouldFollowRedirect())
        return followRedirect();
    if (std::optional<HTTPError> error = decodeBody()) {
        failWithError(*error);
        return Step::Finished;
    }
    m_complete = true;
    return Step::Finished;
}

void ASIHTTPRequest::storeResponse(HTTPTransferResult &result)
{
    m_responseStatusCode = result.statusCode;
    m_responseStatusMessage = result.statusLine;
    m_responseHeaders = std::move(result.headers);
    m_rawResponseData = std::move(result.body);
    if (m_useCookiePersistence) {
        HTTPCookieStorage &storage = HTTPCookieStorage::sharedStorage();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (const QString &header : m_responseHeaders.values(u"Set-Cookie"_s)) {
            if (std::optional<HTTPCookie> cookie = HTTPCookie::fromSetCookieHeader(header, m_url, now))
                storage.setCookie(*cookie, now);
        }
    }
    const QByteArray charset = charsetOf(m_responseHeaders.value(u"Content-Type"_s));
    m_responseEncoding = charset.isEmpty() ? m_defaultResponseEncoding : charset;
}

std::optional<HTTPError> ASIHTTPRequest::decodeBody()
{
    if (!m_responseHeaders.value(u"Content-Encoding"_s).contains(u"gzip"_s, Qt::CaseInsensitive)) {
        m_responseData = m_rawResponseData;
        return std::nullopt;
    }
    ASIDataDecompressor::Result inflated =
        ASIDataDecompressor::uncompressData(m_rawResponseData, m_maximumResponseSize);
    if (inflated.error) {
        // Damaged data only leaves the body absent; a body past the size limit fails the request.
        m_responseData.reset();
        return inflated.exceededLimit ? inflated.error : std::nullopt;
    }
    m_responseData = std::move(inflated.data);
    return std::nullopt;
}

bool ASIHTTPRequest::shouldFollowRedirect() const
{
    const int status = m_responseStatusCode;
    return m_shouldRedirect && m_responseHeaders.contains(u"Location"_s) &&
           (status == 301 || status == 302 || status == 303 || status == 307);
}

ASIHTTPRequest::Step ASIHTTPRequest::followRedirect()
{
    if (++m_redirectCount > maximumRedirects) {
        failWithError(HTTPError::withCode(HTTPErrorCode::TooMuchRedirection));
        return Step::Finished;
    }
    const QUrl target = m_url.resolved(QUrl(m_responseHeaders.value(u"Location"_s).trimmed()));
    const int status = m_responseStatusCode;
    const bool becomesGet =
        status == 303 || ((status == 301 || status == 302) && !m_shouldUseRFC2616RedirectBehaviour);
    if (becomesGet) {
        m_requestMethod = u"GET"_s;
        m_postBody.clear();
        m_requestHeaders.keepOnly({u"User-Agent"_s, u"Accept"_s});
    }
    m_requestCookies.clear();
    // Credentials never travel to a host, port or scheme they were not meant for.
    if (!sameOrigin(m_url, target)) {
        m_requestHeaders.remove(u"Cookie"_s);
        m_requestHeaders.remove(u"Authorization"_s);
    }
    m_url = target;
    m_haveBuiltRequestHeaders = false;
    resetResponse();
    return Step::SendAgain;
}

void ASIHTTPRequest::resetResponse()
{
    m_responseStatusCode = 0;
    m_responseStatusMessage.clear();
    m_responseHeaders.clear();
    m_responseEncoding.clear();
    m_rawResponseData.clear();
    m_responseData.reset();
}

std::optional<QString> ASIHTTPRequest::responseString() const
{
    if (!m_responseData)
        return std::nullopt;
    QStringDecoder decoder(m_responseEncoding.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(*m_responseData);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
