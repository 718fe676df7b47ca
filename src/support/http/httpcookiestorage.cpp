#include "httpcookiestorage.h"

#include <algorithm>

HTTPCookieStorage &HTTPCookieStorage::sharedStorage()
{
    static HTTPCookieStorage storage;
    return storage;
}

void HTTPCookieStorage::setCookie(const HTTPCookie &cookie, const QDateTime &now)
{
    std::lock_guard lock(m_mutex);
    m_cookies.removeIf([&](const HTTPCookie &stored) { return stored.sameIdentity(cookie); });
    if (!cookie.isExpired(now))
        m_cookies.append(cookie);
}

QList<HTTPCookie> HTTPCookieStorage::cookiesForURL(const QUrl &url, const QDateTime &now) const
{
    QList<HTTPCookie> matching;
    {
        std::lock_guard lock(m_mutex);
        for (const HTTPCookie &cookie : m_cookies) {
            if (!cookie.isExpired(now) && cookie.matchesURL(url))
                matching.append(cookie);
        }
    }
    std::stable_sort(matching.begin(), matching.end(),
                     [](const HTTPCookie &a, const HTTPCookie &b) { return a.path.size() > b.path.size(); });
    return matching;
}

QList<HTTPCookie> HTTPCookieStorage::cookies() const
{
    std::lock_guard lock(m_mutex);
    return m_cookies;
}

void HTTPCookieStorage::deleteAllCookies()
{
    std::lock_guard lock(m_mutex);
    m_cookies.clear();
}
