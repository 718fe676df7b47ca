#pragma once

#include <QString>
#include <chrono>
#include <curl/curl.h>
#include <memory>

// One reusable connection slot: a libcurl easy handle and the multi handle that drives it. libcurl keeps an
// open connection in the multi handle's cache (at most one here), so handing the pair to the next request to
// the same place reuses the connection. Owned by one request at a time, or idle in the pool.
class HTTPConnection {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // A new slot for `key` (scheme, host, port and proxy); nullptr when libcurl cannot make the handles.
    static std::unique_ptr<HTTPConnection> create(const QString &key);
    ~HTTPConnection();
    HTTPConnection(const HTTPConnection &) = delete;
    HTTPConnection &operator=(const HTTPConnection &) = delete;

    CURL *easy() const { return m_easy; }
    CURLM *multi() const { return m_multi; }
    const QString &key() const { return m_key; }

    // True when it came from the pool, so its connection may have been closed by the server meanwhile.
    bool wasIdle() const { return m_wasIdle; }
    void setWasIdle(bool idle) { m_wasIdle = idle; }
    TimePoint expiry() const { return m_expiry; }
    void setExpiry(TimePoint expiry) { m_expiry = expiry; }

private:
    HTTPConnection(CURL *easy, CURLM *multi, const QString &key);

    CURL *m_easy;
    CURLM *m_multi;
    QString m_key;
    bool m_wasIdle = false;
    TimePoint m_expiry;
};
