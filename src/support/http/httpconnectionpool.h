#pragma once

#include "httpconnection.h"
#include "httpheaders.h"

#include <mutex>
#include <optional>
#include <vector>

// The process-wide list of idle persistent connections with their expiry. Any thread may use it; a
// connection taken from it belongs to the taker until it is given back.
class HTTPConnectionPool {
public:
    static HTTPConnectionPool &sharedPool();

    // An idle, unexpired connection to `key` when `reuse` is set, else a new one; nullptr when libcurl fails.
    std::unique_ptr<HTTPConnection> takeConnection(const QString &key, bool reuse);
    // Keeps the connection for reuse until `lifetimeSeconds` from now.
    void makeIdle(std::unique_ptr<HTTPConnection> connection, double lifetimeSeconds);
    void closeIdleConnections();

    // How long the connection that carried this response may be reused, or nullopt when it may not:
    // never after an HTTP/1.0 response without "Connection: keep-alive", a "Connection: close", or a
    // "Keep-Alive" without a max= above 5; its timeout= replaces `defaultSeconds`.
    static std::optional<double> reuseLifetime(const QString &statusLine, const HTTPHeaders &responseHeaders,
                                               double defaultSeconds);

private:
    HTTPConnectionPool() = default;
    void dropExpired(HTTPConnection::TimePoint now);

    static constexpr std::size_t maximumIdleConnections = 16;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<HTTPConnection>> m_idle;
};
