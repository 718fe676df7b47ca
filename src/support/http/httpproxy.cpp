#include "httpproxy.h"

#include <QRegularExpression>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString environment(const char *lower, const char *upper = nullptr)
{
    QString value = qEnvironmentVariable(lower);
    if (value.isEmpty() && upper)
        value = qEnvironmentVariable(upper);
    return value.trimmed();
}

// "host", ".domain", "host:port", "[v6]:port" or a bare IPv6 address; the port is -1 when absent.
std::pair<QString, int> splitHostAndPort(const QString &entry)
{
    QString host = entry;
    QString port;
    if (entry.startsWith(u'[')) {
        const qsizetype close = entry.indexOf(u']');
        host = entry.mid(1, close - 1);
        if (close > 0 && entry.mid(close + 1).startsWith(u':'))
            port = entry.mid(close + 2);
    } else if (entry.count(u':') == 1) {
        const qsizetype colon = entry.indexOf(u':');
        host = entry.left(colon);
        port = entry.mid(colon + 1);
    }
    if (host.startsWith(u'.'))
        host.remove(0, 1);
    bool ok = false;
    const int number = port.toInt(&ok);
    return {host, ok ? number : -1};
}

} // namespace

HTTPProxy::HTTPProxy(const QString &host, int port)
{
    m_url.setScheme(u"http"_s);
    m_url.setHost(host);
    m_url.setPort(port);
}

HTTPProxy HTTPProxy::fromEnvironment(const QUrl &url)
{
    // Upper-case HTTP_PROXY is ignored on purpose: CGI programs receive the client's "Proxy:" header under
    // that name.
    const QString setting =
        url.scheme() == u"https"_s ? environment("https_proxy", "HTTPS_PROXY") : environment("http_proxy");
    if (setting.isEmpty() || hostIsExcluded(url, environment("no_proxy", "NO_PROXY")))
        return {};
    const QUrl proxyURL(setting.contains(u"://"_s) ? setting : u"http://"_s + setting);
    if (!proxyURL.isValid() || proxyURL.host().isEmpty())
        return {};
    return HTTPProxy(proxyURL);
}

bool HTTPProxy::hostIsExcluded(const QUrl &url, const QString &noProxy)
{
    const QString host = url.host().toLower();
    const int port = url.port(url.scheme() == u"https"_s ? 443 : 80);
    static const QRegularExpression separators(u"[,\\s]+"_s);
    const QStringList entries = noProxy.toLower().split(separators, Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        if (entry == u"*"_s)
            return true;
        const auto [entryHost, entryPort] = splitHostAndPort(entry);
        if (entryPort >= 0 && entryPort != port)
            continue;
        if (host == entryHost || host.endsWith(u'.' + entryHost))
            return true;
    }
    return false;
}

QByteArray HTTPProxy::toCurlString() const
{
    QUrl url = m_url;
    url.setPort(port());
    return url.toEncoded();
}
