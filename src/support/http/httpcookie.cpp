#include "httpcookie.h"

#include <curl/curl.h>

using namespace Qt::StringLiterals;

namespace {

QString defaultPath(const QUrl &url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    if (!path.startsWith(u'/'))
        return u"/"_s;
    const qsizetype lastSlash = path.lastIndexOf(u'/');
    return lastSlash == 0 ? u"/"_s : path.left(lastSlash);
}

bool isIPAddress(const QString &host)
{
    return host.contains(u':') || (!host.isEmpty() && host.back().isDigit() && host.count(u'.') == 3);
}

bool domainMatches(const QString &host, const QString &domain)
{
    return host == domain || (!isIPAddress(host) && host.endsWith(u'.' + domain));
}

bool pathMatches(const QString &requestPath, const QString &cookiePath)
{
    if (requestPath == cookiePath)
        return true;
    return requestPath.startsWith(cookiePath) &&
           (cookiePath.endsWith(u'/') || requestPath.at(cookiePath.size()) == u'/');
}

QDateTime parseCookieDate(const QString &text)
{
    const time_t seconds = curl_getdate(text.toLatin1().constData(), nullptr);
    if (seconds == -1)
        return {};
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
}

} // namespace

std::optional<HTTPCookie> HTTPCookie::fromSetCookieHeader(const QString &header, const QUrl &url,
                                                          const QDateTime &now)
{
    const QStringList parts = header.split(u';');
    const QString &pair = parts.first();
    const qsizetype equals = pair.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;

    HTTPCookie cookie;
    cookie.name = pair.left(equals).trimmed();
    cookie.value = pair.mid(equals + 1).trimmed();
    if (cookie.name.isEmpty())
        return std::nullopt;
    const QString host = url.host().toLower();
    cookie.domain = host;
    cookie.path = defaultPath(url);

    bool hasMaxAge = false;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString attribute = parts.at(i).trimmed();
        const qsizetype eq = attribute.indexOf(u'=');
        const QString key = (eq < 0 ? attribute : attribute.left(eq)).trimmed().toLower();
        const QString value = eq < 0 ? QString() : attribute.mid(eq + 1).trimmed();
        if (key == u"expires"_s && !hasMaxAge) {
            const QDateTime date = parseCookieDate(value);
            if (date.isValid())
                cookie.expiresDate = date;
        } else if (key == u"max-age"_s) {
            bool ok = false;
            const qint64 seconds = value.toLongLong(&ok);
            if (ok) {
                hasMaxAge = true;
                cookie.expiresDate = seconds <= 0 ? now : now.addSecs(seconds);
            }
        } else if (key == u"domain"_s && !value.isEmpty()) {
            QString domain = value.toLower();
            if (domain.startsWith(u'.'))
                domain.remove(0, 1);
            if (!domainMatches(host, domain))
                return std::nullopt;
            cookie.domain = domain;
            cookie.hostOnly = false;
        } else if (key == u"path"_s && value.startsWith(u'/')) {
            cookie.path = value;
        } else if (key == u"secure"_s) {
            cookie.secure = true;
        } else if (key == u"httponly"_s) {
            cookie.httpOnly = true;
        }
    }
    return cookie;
}

bool HTTPCookie::matchesURL(const QUrl &url) const
{
    const QString host = url.host().toLower();
    if (hostOnly ? host != domain : !domainMatches(host, domain))
        return false;
    if (secure && url.scheme() != u"https"_s)
        return false;
    QString requestPath = url.path(QUrl::FullyEncoded);
    if (requestPath.isEmpty())
        requestPath = u"/"_s;
    return pathMatches(requestPath, path);
}

bool HTTPCookie::sameIdentity(const HTTPCookie &other) const
{
    return name == other.name && domain == other.domain && path == other.path;
}
