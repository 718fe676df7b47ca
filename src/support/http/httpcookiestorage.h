#pragma once

#include "httpcookie.h"

#include <QList>
#include <mutex>

// The process-wide cookie store: cookies received by requests that use cookie persistence, kept in
// memory for the life of the process. Any thread may use it.
class HTTPCookieStorage {
public:
    static HTTPCookieStorage &sharedStorage();

    // Stores the cookie, replacing one with the same name, domain and path; an expired cookie only
    // removes its stored namesake.
    void setCookie(const HTTPCookie &cookie, const QDateTime &now = QDateTime::currentDateTimeUtc());
    // The cookies to send to `url`, those with longer paths first.
    QList<HTTPCookie> cookiesForURL(const QUrl &url,
                                    const QDateTime &now = QDateTime::currentDateTimeUtc()) const;
    QList<HTTPCookie> cookies() const;
    void deleteAllCookies();

private:
    mutable std::mutex m_mutex;
    QList<HTTPCookie> m_cookies;
};
