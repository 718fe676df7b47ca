#pragma once

#include "support/http/httpcookie.h"
#include "support/http/httperror.h"

#include <QString>
#include <QUrl>
#include <optional>

class ASIHTTPRequest;
class Clock;
class UserDefaults;

// The reader service's addresses and its ClientLogin exchange. Every address uses the scheme, host and
// port of the configured base address (https by default), so the session cookie and the token always
// travel as the base address does. Immutable; usable from any thread.
class GoogleReaderService {
public:
    // The outcome of one login: a transport error, or the values the service answered.
    struct Login {
        std::optional<HTTPError> transportError;
        QString sid;
        QString auth;
        QString errorText; // the "Error" value, when the answer had one
        bool hasError = false;

        bool succeeded() const { return !transportError && !sid.isEmpty() && !auth.isEmpty(); }
    };

    GoogleReaderService(const QUrl &baseAddress, const Clock &clock);

    // The base address in the settings store.
    static QUrl configuredBaseAddress(const UserDefaults &defaults);

    QUrl baseAddress() const { return m_base; }
    QUrl loginURL() const;
    // "ck" is the current time in milliseconds.
    QUrl subscriptionListURL() const;
    QUrl tokenURL() const;
    // The service root followed by a path relative to it ("reader/api/0/…?…").
    QUrl apiURL(const QString &relativePath) const;
    // The service's home page: the base address's scheme, host and port with path "/".
    QUrl homeURL() const;
    // The host's parent domain ("www.example.org" gives "example.org"); an address or a host of fewer than
    // three labels is its own cookie domain.
    QString cookieDomain() const;

    // Posts the credentials to the login endpoint, synchronously on the calling thread.
    Login clientLogin(const QString &account, const QString &password) const;
    // The login's answer text read into a Login: lines split at line ends, "name=value" lines with exactly
    // one "=" whose name is SID, Auth or Error (in any case); the last of a name wins.
    static Login parseLoginAnswer(const QString &answer);
    // Session headers and cookie for a request after a successful login; cookie persistence off.
    void authenticate(ASIHTTPRequest &request, const Login &login) const;

    static const QString userAgent;

private:
    HTTPCookie sessionCookie(const QString &sid) const;
    QUrl addressWithPath(const QString &pathAndQuery) const;

    QUrl m_base;
    const Clock &m_clock;
};
