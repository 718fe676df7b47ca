#include "services/readlater/readabilityxauth.h"

#include "platform/clock.h"
#include "services/readlater/readabilityxauthdelegate.h"
#include "support/encoding/base64.h"
#include "support/encoding/urlencode.h"
#include "support/http/asihttprequest.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <algorithm>

using namespace Qt::StringLiterals;

const QString ReadabilityXAuth::accessTokenPath = u"/api/rest/v1/oauth/access_token/"_s;
const QString ReadabilityXAuth::bookmarkPath = u"/api/rest/v1/bookmarks"_s;

namespace {
constexpr int firstFailingStatus = 400;
const QString statusErrorDomain = u"HTTP Property Status Code"_s;

QString joinedAddress(const QUrl &base, const QString &path)
{
    QString root = base.toString(QUrl::FullyEncoded);
    while (root.endsWith(u'/'))
        root.chop(1);
    return root + path;
}

// "name=value&…" with percent-decoded values; pieces without exactly one "=" are skipped.
QHash<QString, QString> formValues(const QByteArray &body)
{
    QHash<QString, QString> values;
    for (const QString &piece : QString::fromUtf8(body).split(u'&')) {
        const QStringList parts = piece.split(u'=');
        if (parts.size() == 2)
            values.insert(parts.at(0), QUrl::fromPercentEncoding(parts.at(1).toUtf8()));
    }
    return values;
}
} // namespace

ReadabilityXAuth::ReadabilityXAuth(const QUrl &baseAddress, const QString &consumerKey,
                                   const QString &consumerSecret, const Clock &clock, QObject *parent)
    : QObject(parent), m_baseAddress(baseAddress), m_clock(clock), m_consumerKey(consumerKey),
      m_consumerSecret(consumerSecret), m_tokenSecret(u""_s)
{
}

ReadabilityXAuth::~ReadabilityXAuth()
{
    cancelRunningRequest();
}

QString ReadabilityXAuth::nonce()
{
    if (m_nonce.isEmpty())
        m_nonce = QString::number(static_cast<qint32>(QRandomGenerator::global()->generate()));
    return m_nonce;
}

QString ReadabilityXAuth::timestamp()
{
    if (m_timestamp.isEmpty()) {
        // Single precision on purpose: the service has always seen this rounding from this client.
        const auto seconds = static_cast<float>(m_clock.now().toMSecsSinceEpoch() / 1000.0);
        m_timestamp = QString::number(static_cast<qint64>(static_cast<double>(seconds) + 0.5));
    }
    return m_timestamp;
}

QList<std::pair<QString, QString>> ReadabilityXAuth::signedParameters()
{
    QList<std::pair<QString, QString>> parameters{
        {u"oauth_consumer_key"_s, m_consumerKey},
        {u"oauth_nonce"_s, nonce()},
        {u"oauth_signature_method"_s, u"HMAC-SHA1"_s},
        {u"oauth_timestamp"_s, timestamp()},
        {u"oauth_version"_s, u"1.0"_s},
    };
    if (m_state == Authorizing) {
        parameters.append({u"x_auth_mode"_s, u"client_auth"_s});
        parameters.append({u"x_auth_password"_s, m_password});
        parameters.append({u"x_auth_username"_s, m_username});
    } else if (m_state == Bookmarking) {
        parameters.append({u"oauth_token"_s, m_token});
        parameters.append({u"url"_s, m_bookmark});
    }
    return parameters;
}

QString ReadabilityXAuth::baseString()
{
    QStringList encoded;
    for (const auto &[name, value] : signedParameters())
        encoded.append(name + u"%3D"_s + urlEncode(urlEncode(value)));
    std::sort(encoded.begin(), encoded.end());
    return u"POST&"_s + urlEncode(m_readabilityURL) + u'&' + encoded.join(u"%26"_s);
}

QString ReadabilityXAuth::signature()
{
    // The secrets are percent-encoded in the key as OAuth 1.0 asks; for plain secrets this changes nothing.
    const QByteArray key = (urlEncode(m_consumerSecret) + u'&' + urlEncode(m_tokenSecret)).toUtf8();
    const QByteArray digest =
        QMessageAuthenticationCode::hash(baseString().toUtf8(), key, QCryptographicHash::Sha1);
    return Base64::base64EncodedString(digest);
}

QString ReadabilityXAuth::authorizationHeader()
{
    QList<std::pair<QString, QString>> pairs{
        {u"oauth_nonce"_s, nonce()},         {u"oauth_signature_method"_s, u"HMAC-SHA1"_s},
        {u"oauth_timestamp"_s, timestamp()}, {u"oauth_consumer_key"_s, m_consumerKey},
        {u"oauth_signature"_s, signature()}, {u"oauth_version"_s, u"1.0"_s},
    };
    if (m_state == Bookmarking && !m_token.isEmpty())
        pairs.append({u"oauth_token"_s, m_token});
    QStringList written;
    for (const auto &[name, value] : pairs)
        written.append(u"%1=\"%2\""_s.arg(name, urlEncode(value)));
    return u"OAuth "_s + written.join(u", "_s);
}

void ReadabilityXAuth::authorize()
{
    resetNonce();
    resetTimestamp();
    m_state = Authorizing;
    m_readabilityURL = joinedAddress(m_baseAddress, accessTokenPath);
    const QString body = u"x_auth_mode=client_auth&x_auth_password=%1&x_auth_username=%2"_s.arg(
        urlEncode(m_password), urlEncode(m_username));
    startRequest(body.toUtf8());
}

void ReadabilityXAuth::bookmark(const QString &link)
{
    resetNonce();
    resetTimestamp();
    m_state = Bookmarking;
    m_bookmark = link;
    m_readabilityURL = joinedAddress(m_baseAddress, bookmarkPath);
    startRequest((u"url="_s + urlEncode(link)).toUtf8());
}

void ReadabilityXAuth::startRequest(const QByteArray &body)
{
    cancelRunningRequest();
    auto request = std::shared_ptr<ASIHTTPRequest>(ASIHTTPRequest::requestWithURL(QUrl(m_readabilityURL)));
    request->setRequestMethod(u"POST"_s);
    request->setPostBody(body);
    request->setUseCookiePersistence(false);
    request->addRequestHeader(u"Authorization"_s, authorizationHeader());
    m_data.clear();
    m_lastError.reset();
    const quint64 generation = ++m_generation;
    m_request = request;
    m_worker = std::thread([this, request, generation] {
        request->startSynchronous();
        m_ownThread.post([this, request, generation] { requestFinished(*request, generation); });
    });
}

void ReadabilityXAuth::cancelRunningRequest()
{
    if (m_request)
        m_request->cancel();
    if (m_worker.joinable())
        m_worker.join();
    m_request.reset();
}

void ReadabilityXAuth::requestFinished(ASIHTTPRequest &request, quint64 generation)
{
    if (generation != m_generation)
        return; // superseded by a later request
    if (m_worker.joinable())
        m_worker.join(); // it has nothing left to do but return
    m_request.reset();
    m_data = request.responseData().value_or(request.rawResponseData());
    // Checked first: the engine reports a 401 as an error of its own.
    const int status = request.responseStatusCode();
    if (status >= firstFailingStatus) {
        ServiceError error;
        error.domain = statusErrorDomain;
        error.code = status;
        error.localizedDescription =
            QCoreApplication::translate("ReadabilityXAuth", "Server returned status code %1").arg(status);
        return reportFailure(error);
    }
    if (request.error())
        return reportFailure(ServiceError::fromHTTPError(*request.error()));
    reportSuccess();
}

void ReadabilityXAuth::takeCredentials()
{
    const QHash<QString, QString> values = formValues(m_data);
    if (values.contains(u"oauth_token_secret"_s))
        m_tokenSecret = values.value(u"oauth_token_secret"_s);
    if (values.contains(u"oauth_token"_s))
        m_token = values.value(u"oauth_token"_s);
}

void ReadabilityXAuth::reportFailure(const ServiceError &error)
{
    qWarning().noquote() << "Read-later service request to" << m_readabilityURL << "failed:" << error.domain
                         << error.code << error.localizedDescription;
    m_lastError = error;
    if (!m_delegate)
        return;
    if (m_state == Authorizing)
        m_delegate->readabilityXAuthAuthorizationDidFail(*this);
    else if (m_state == Bookmarking)
        m_delegate->readabilityXAuthBookmarkDidFail(*this);
}

void ReadabilityXAuth::reportSuccess()
{
    if (m_state == Authorizing)
        takeCredentials();
    if (!m_delegate)
        return;
    if (m_state == Authorizing)
        m_delegate->readabilityXAuthDidAuthorize(*this);
    else if (m_state == Bookmarking)
        m_delegate->readabilityXAuthDidBookmark(*this);
}
