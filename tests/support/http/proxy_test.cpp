#include "httpenginetest.h"
#include "loopbackserver.h"
#include "scriptedserver.h"

#include "support/http/asihttprequest.h"
#include "support/http/httpproxy.h"

using namespace Qt::StringLiterals;

// Requests go through an explicit proxy, else through the one the environment names.
class ProxyTest : public HTTPEngineTest {
protected:
    void SetUp() override
    {
        HTTPEngineTest::SetUp();
        origin.server().Get("/feed", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("direct", "text/plain");
        });
        origin.start();
    }

    // The body says how the request arrived: "direct", or the request line the proxy received.
    QString fetchFeed(const QString &proxyHost = {}, int proxyPort = 0)
    {
        ASIHTTPRequest request(origin.url(u"/feed"_s));
        request.setProxyHost(proxyHost);
        request.setProxyPort(proxyPort);
        request.startSynchronous();
        EXPECT_FALSE(request.error());
        return request.responseString().value_or(QString());
    }

    QByteArray proxyURL() const { return "http://127.0.0.1:" + QByteArray::number(proxy.port()); }
    QString proxiedLine() const { return u"GET %1 HTTP/1.1"_s.arg(origin.url(u"/feed"_s).toString()); }

    LoopbackServer origin;
    // Answers every request itself with the request line it received.
    ScriptedServer proxy{[](ScriptedConnection &connection) {
        while (std::optional<QByteArray> request = connection.readRequest()) {
            const QByteArray requestLine = request->left(request->indexOf("\r\n"));
            connection.send(ScriptedServer::response("HTTP/1.1 200 OK", "", requestLine));
        }
    }};
};

TEST_F(ProxyTest, explicitProxyIsUsed)
{
    EXPECT_EQ(fetchFeed(u"127.0.0.1"_s, proxy.port()), proxiedLine());
    EXPECT_EQ(origin.requestCount(), 0);
    EXPECT_EQ(fetchFeed(), u"direct"_s) << "a kept-alive proxy connection is not reused for a direct request";
}

TEST_F(ProxyTest, environmentProxyIsUsedUnlessTheHostIsExcluded)
{
    environment.set("http_proxy", proxyURL());
    EXPECT_EQ(fetchFeed(), proxiedLine());

    environment.set("no_proxy", "example.org, 127.0.0.1");
    EXPECT_EQ(fetchFeed(), u"direct"_s);
    environment.set("no_proxy", "*");
    EXPECT_EQ(fetchFeed(), u"direct"_s);

    environment.unset("no_proxy");
    environment.unset("http_proxy");
    environment.set("HTTP_PROXY", proxyURL());
    EXPECT_EQ(fetchFeed(), u"direct"_s) << "upper-case HTTP_PROXY is not trusted";
    EXPECT_EQ(proxy.connectionCount(), 1);
}

TEST_F(ProxyTest, environmentRulesBySchemeHostAndPort)
{
    environment.set("http_proxy", "plain.proxy:3128");
    environment.set("HTTPS_PROXY", "http://secure.proxy:8443");
    environment.set("no_proxy", ".internal.example, example.net:8080, [::1]");

    const HTTPProxy plain = HTTPProxy::fromEnvironment(QUrl(u"http://feeds.example.com/rss"_s));
    EXPECT_EQ(plain.host(), u"plain.proxy"_s);
    EXPECT_EQ(plain.port(), 3128);
    EXPECT_EQ(HTTPProxy::fromEnvironment(QUrl(u"https://feeds.example.com/"_s)).host(), u"secure.proxy"_s);

    EXPECT_TRUE(HTTPProxy::fromEnvironment(QUrl(u"http://a.internal.example/"_s)).isNull());
    EXPECT_TRUE(HTTPProxy::fromEnvironment(QUrl(u"http://internal.example/"_s)).isNull());
    EXPECT_FALSE(HTTPProxy::fromEnvironment(QUrl(u"http://notinternal.example/"_s)).isNull());
    EXPECT_TRUE(HTTPProxy::fromEnvironment(QUrl(u"http://example.net:8080/"_s)).isNull());
    EXPECT_FALSE(HTTPProxy::fromEnvironment(QUrl(u"http://example.net/"_s)).isNull());
    EXPECT_TRUE(HTTPProxy::fromEnvironment(QUrl(u"http://[::1]/"_s)).isNull());
}
