#include "httpconnectionpool.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Keep-Alive parameters at or below this many remaining requests are not worth keeping the connection for.
constexpr int minimumKeepAliveMax = 5;

} // namespace

HTTPConnectionPool &HTTPConnectionPool::sharedPool()
{
    static HTTPConnectionPool pool;
    return pool;
}

std::unique_ptr<HTTPConnection> HTTPConnectionPool::takeConnection(const QString &key, bool reuse)
{
    if (reuse) {
        std::lock_guard lock(m_mutex);
        dropExpired(std::chrono::steady_clock::now());
        auto it = std::find_if(m_idle.begin(), m_idle.end(), [&](const auto &c) { return c->key() == key; });
        if (it != m_idle.end()) {
            std::unique_ptr<HTTPConnection> connection = std::move(*it);
            m_idle.erase(it);
            connection->setWasIdle(true);
            return connection;
        }
    }
    return HTTPConnection::create(key);
}

void HTTPConnectionPool::makeIdle(std::unique_ptr<HTTPConnection> connection, double lifetimeSeconds)
{
    const auto now = std::chrono::steady_clock::now();
    connection->setExpiry(now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                    std::chrono::duration<double>(lifetimeSeconds)));
    std::unique_ptr<HTTPConnection> evicted; // closed after the lock is released
    std::lock_guard lock(m_mutex);
    dropExpired(now);
    if (m_idle.size() >= maximumIdleConnections) {
        evicted = std::move(m_idle.front());
        m_idle.erase(m_idle.begin());
    }
    m_idle.push_back(std::move(connection));
}

void HTTPConnectionPool::closeIdleConnections()
{
    std::lock_guard lock(m_mutex);
    m_idle.clear();
}

void HTTPConnectionPool::dropExpired(HTTPConnection::TimePoint now)
{
    std::erase_if(m_idle, [&](const auto &c) { return c->expiry() <= now; });
}

std::optional<double> HTTPConnectionPool::reuseLifetime(const QString &statusLine,
                                                        const HTTPHeaders &responseHeaders,
                                                        double defaultSeconds)
{
    const QString connection = responseHeaders.value(u"Connection"_s).trimmed().toLower();
    if (statusLine.startsWith(u"HTTP/1.0"_s) && connection != u"keep-alive"_s)
        return std::nullopt;
    if (connection == u"close"_s)
        return std::nullopt;

    if (!responseHeaders.contains(u"Keep-Alive"_s))
        return defaultSeconds;
    // A Keep-Alive that does not say how many requests remain promises none.
    double lifetime = defaultSeconds;
    double remaining = 0;
    const QString keepAlive = responseHeaders.value(u"Keep-Alive"_s);
    for (const QString &parameter : keepAlive.split(u',', Qt::SkipEmptyParts)) {
        const QString name = parameter.section(u'=', 0, 0).trimmed().toLower();
        bool ok = false;
        const double number = parameter.section(u'=', 1).trimmed().toDouble(&ok);
        if (!ok)
            continue;
        if (name == u"max"_s)
            remaining = number;
        else if (name == u"timeout"_s)
            lifetime = number;
    }
    if (remaining <= minimumKeepAliveMax)
        return std::nullopt;
    return lifetime;
}
