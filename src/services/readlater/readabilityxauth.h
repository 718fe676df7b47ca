#pragma once

#include "platform/threadhandoff.h"
#include "services/operations/serviceerror.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <thread>

class ASIHTTPRequest;
class Clock;
class ReadabilityXAuthDelegate;

// Client of the read-later service: exchanges the user's name and password for an access token (xAuth)
// and saves links to the reading list, signing each request with OAuth 1.0 HMAC-SHA1.
//
// The object belongs to the thread that creates it, which must run an event loop: authorize() and
// bookmark() return at once, the request runs on a worker thread, and the delegate is called back on the
// object's thread. One request at a time: starting one cancels a request still running, whose outcome
// is then not reported. Destroying the client cancels its request.
class ReadabilityXAuth : public QObject {
    Q_OBJECT
public:
    enum State { Idle = 0, Authorizing = 1, Bookmarking = 2 };

    // `baseAddress` is the service root ("https://host"), consumer key and secret those of the embedding
    // application.
    ReadabilityXAuth(const QUrl &baseAddress, const QString &consumerKey, const QString &consumerSecret,
                     const Clock &clock, QObject *parent = nullptr);
    ~ReadabilityXAuth() override;

    QString consumerKey() const { return m_consumerKey; }
    void setConsumerKey(const QString &key) { m_consumerKey = key; }
    QString consumerSecret() const { return m_consumerSecret; }
    void setConsumerSecret(const QString &secret) { m_consumerSecret = secret; }
    QString username() const { return m_username; }
    void setUsername(const QString &username) { m_username = username; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString token() const { return m_token; }
    void setToken(const QString &token) { m_token = token; }
    QString tokenSecret() const { return m_tokenSecret; }
    void setTokenSecret(const QString &tokenSecret) { m_tokenSecret = tokenSecret; }
    // Not owned; must outlive the client or be reset before it goes.
    ReadabilityXAuthDelegate *delegate() const { return m_delegate; }
    void setDelegate(ReadabilityXAuthDelegate *delegate) { m_delegate = delegate; }

    State state() const { return m_state; }
    QString bookmarkLink() const { return m_bookmark; }
    QString readabilityURL() const { return m_readabilityURL; }
    // The body of the last response.
    QByteArray data() const { return m_data; }
    // Why the last request failed; none after a success.
    const std::optional<ServiceError> &lastError() const { return m_lastError; }

    // Requests an access token; on success token() and tokenSecret() hold it.
    void authorize();
    // Saves a link; needs the token of an earlier authorization.
    void bookmark(const QString &link);

    // A random signed 32-bit number, made on first use and kept until reset.
    QString nonce();
    void resetNonce() { m_nonce.clear(); }
    // Seconds since 1970 as single precision rounds them (steps of 128 s today), made on first use.
    QString timestamp();
    void resetTimestamp() { m_timestamp.clear(); }

    // The OAuth pieces of the current request (state, URL, nonce and timestamp).
    QString baseString();
    QString signature();
    QString authorizationHeader();

    static const QString accessTokenPath;
    static const QString bookmarkPath;

private:
    QList<std::pair<QString, QString>> signedParameters();
    void startRequest(const QByteArray &body);
    void cancelRunningRequest();
    void requestFinished(ASIHTTPRequest &request, quint64 generation);
    void takeCredentials();
    void reportFailure(const ServiceError &error);
    void reportSuccess();

    QUrl m_baseAddress;
    const Clock &m_clock;
    QString m_nonce;
    QString m_timestamp;
    QString m_consumerKey;
    QString m_password;
    QString m_username;
    QString m_consumerSecret;
    QString m_token;
    QString m_tokenSecret;
    QByteArray m_data;
    State m_state = Idle;
    ReadabilityXAuthDelegate *m_delegate = nullptr;
    QString m_bookmark;
    QString m_readabilityURL;
    std::optional<ServiceError> m_lastError;

    // The running request. The worker runs it and posts its end to this object, which joins the worker
    // before it goes.
    std::shared_ptr<ASIHTTPRequest> m_request;
    std::thread m_worker;
    ThreadHandOff m_ownThread; // the worker's results reach the thread that made this object through it
    quint64 m_generation = 0;
};
