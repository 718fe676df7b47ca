#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <optional>

// One cookie as a server set it (or as a caller built it for a request's own cookie list).
struct HTTPCookie {
    HTTPCookie() = default;
    // A cookie for a request's own list: only name and value are sent.
    HTTPCookie(const QString &cookieName, const QString &cookieValue) : name(cookieName), value(cookieValue)
    {
    }

    QString name;
    QString value;
    QString domain; // lower case, without a leading dot
    QString path = QStringLiteral("/");
    QDateTime expiresDate; // UTC; invalid for a cookie that lives as long as the process
    bool hostOnly = true;  // sent to exactly `domain`, not to its subdomains
    bool secure = false;
    bool httpOnly = false;

    // Parses one Set-Cookie value received from `url`; nullopt when it is malformed or the server may
    // not set it (a Domain attribute that does not cover the URL's host).
    static std::optional<HTTPCookie> fromSetCookieHeader(const QString &header, const QUrl &url,
                                                         const QDateTime &now);

    bool isExpired(const QDateTime &now) const { return expiresDate.isValid() && expiresDate <= now; }
    // Domain, path and secure-only rules for sending the cookie to `url`.
    bool matchesURL(const QUrl &url) const;
    // Same name, domain and path: the newer one replaces the older in a store.
    bool sameIdentity(const HTTPCookie &other) const;
};
