#pragma once

#include <QString>
#include <QUrl>

// The proxy a request goes through; a null proxy means a direct connection.
class HTTPProxy {
public:
    HTTPProxy() = default;
    HTTPProxy(const QString &host, int port);

    // The system setting on Linux: http_proxy for http URLs, https_proxy (or HTTPS_PROXY) for https,
    // unless no_proxy (or NO_PROXY) names the URL's host or one of its parent domains, or is "*".
    static HTTPProxy fromEnvironment(const QUrl &url);

    bool isNull() const { return m_url.isEmpty(); }
    QString host() const { return m_url.host(); }
    int port() const { return m_url.port(defaultPort); }
    // The proxy as libcurl takes it: scheme://[user:password@]host:port.
    QByteArray toCurlString() const;

private:
    static constexpr int defaultPort = 1080;
    explicit HTTPProxy(const QUrl &url) : m_url(url) {}
    static bool hostIsExcluded(const QUrl &url, const QString &noProxy);

    QUrl m_url;
};
