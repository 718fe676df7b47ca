#include "httpenginetest.h"
#include "loopbackserver.h"

#include "support/http/asidatadecompressor.h"
#include "support/http/asihttprequest.h"

using namespace Qt::StringLiterals;

// How a request is built and sent: method, headers and body.
class RequestTest : public HTTPEngineTest {
protected:
    void SetUp() override
    {
        HTTPEngineTest::SetUp();
        auto ok = [](const httplib::Request &, httplib::Response &res) {
            res.set_content("ok", "text/plain");
        };
        server.server().Get("/", ok).Post("/", ok).Put("/", ok).Delete("/", ok);
        server.start();
    }

    httplib::Request send(ASIHTTPRequest &request)
    {
        request.startSynchronous();
        EXPECT_FALSE(request.error());
        return server.lastRequest();
    }

    LoopbackServer server;
};

TEST_F(RequestTest, defaultHeaders)
{
    ASIHTTPRequest request(server.url(u"/"_s));
    const httplib::Request received = send(request);
    EXPECT_EQ(received.method, "GET");
    EXPECT_EQ(received.get_header_value("Accept-Encoding"), "gzip");
    const QString agent = QString::fromStdString(received.get_header_value("User-Agent"));
    EXPECT_EQ(agent, ASIHTTPRequest::defaultUserAgentString());
    EXPECT_TRUE(agent.startsWith(u"Vantrel 0.1.0 ("_s)) << agent.toStdString();
    EXPECT_FALSE(received.has_header("Cookie"));
    EXPECT_FALSE(received.has_header("Content-Encoding"));
}

TEST_F(RequestTest, addedHeadersReplaceEarlierValues)
{
    ASIHTTPRequest request(server.url(u"/"_s));
    request.addRequestHeader(u"User-Agent"_s, u"Reader/1.0"_s);
    request.addRequestHeader(u"Authorization"_s, u"GoogleLogin auth=first"_s);
    request.addRequestHeader(u"authorization"_s, u"GoogleLogin auth=second"_s);
    request.addRequestHeader(u"X-Injected"_s, u"a\r\nX-Evil: 1"_s);
    request.setAllowCompressedResponse(false);
    const httplib::Request received = send(request);
    EXPECT_EQ(received.get_header_value("User-Agent"), "Reader/1.0");
    EXPECT_EQ(received.get_header_value_count("Authorization"), 1u);
    EXPECT_EQ(received.get_header_value("Authorization"), "GoogleLogin auth=second");
    EXPECT_FALSE(received.has_header("X-Evil"));
    EXPECT_FALSE(received.has_header("Accept-Encoding"));
}

TEST_F(RequestTest, bodyTurnsGetAndDeleteIntoPostOtherMethodsStay)
{
    ASIHTTPRequest get(server.url(u"/"_s));
    get.setPostBody("payload");
    httplib::Request received = send(get);
    EXPECT_EQ(received.method, "POST");
    EXPECT_EQ(received.body, "payload");
    EXPECT_EQ(received.get_header_value("Content-Length"), "7");

    ASIHTTPRequest put(server.url(u"/"_s));
    put.setRequestMethod(u"PUT"_s);
    put.appendPostData("a=");
    put.appendPostData("1");
    received = send(put);
    EXPECT_EQ(received.method, "PUT");
    EXPECT_EQ(received.body, "a=1");

    ASIHTTPRequest del(server.url(u"/"_s));
    del.setRequestMethod(u"DELETE"_s);
    EXPECT_EQ(send(del).method, "DELETE");
}

TEST_F(RequestTest, compressedRequestBody)
{
    const QByteArray body = QByteArray("a fairly repetitive body, ").repeated(40);
    ASIHTTPRequest request(server.url(u"/"_s));
    request.setPostBody(body);
    request.setShouldCompressRequestBody(true);
    const httplib::Request received = send(request);
    EXPECT_EQ(received.get_header_value("Content-Encoding"), "gzip");
    // The server inflates gzip request bodies itself; the length sent is the compressed one.
    EXPECT_EQ(received.body, body.toStdString());
    EXPECT_LT(std::stoi(received.get_header_value("Content-Length")), body.size());
    EXPECT_EQ(request.postBody().size(), std::stoi(received.get_header_value("Content-Length")));
    EXPECT_EQ(ASIDataDecompressor::uncompressData(request.postBody(), 1 << 20).data, body);
}

TEST_F(RequestTest, http10OnlyWhenAskedFor)
{
    ASIHTTPRequest request(server.url(u"/"_s));
    EXPECT_EQ(send(request).version, "HTTP/1.1");
    ASIHTTPRequest old(server.url(u"/"_s));
    old.setUseHTTPVersionOne(true);
    EXPECT_EQ(send(old).version, "HTTP/1.0");
}

TEST_F(RequestTest, exceptionWhileBuildingFailsWithCode10)
{
    struct ThrowingRequest : ASIHTTPRequest {
        using ASIHTTPRequest::ASIHTTPRequest;
        std::optional<HTTPError> buildPostBody() override { throw std::invalid_argument("no body today"); }
    };
    ThrowingRequest request(server.url(u"/"_s));
    request.startSynchronous();
    ASSERT_TRUE(request.error());
    EXPECT_EQ(request.error()->code, 10);
    EXPECT_EQ(request.error()->localizedDescription, u"std::invalid_argument"_s);
    EXPECT_EQ(request.error()->failureReason, u"no body today"_s);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(RequestTest, unusableURLsFailWithCode5)
{
    for (const QUrl &url :
         {QUrl(), QUrl(u"ftp://127.0.0.1/file"_s), QUrl(u"http://"_s), QUrl(u"/relative"_s)}) {
        ASIHTTPRequest request(url);
        request.startSynchronous();
        ASSERT_TRUE(request.error()) << url.toString().toStdString();
        EXPECT_EQ(request.error()->code, 5);
        EXPECT_EQ(request.error()->localizedDescription, u"Unable to create request (bad url?)"_s);
        EXPECT_TRUE(request.complete());
    }
}

TEST_F(RequestTest, refusedConnectionFailsWithCode1)
{
    QUrl closed;
    {
        LoopbackServer gone;
        gone.start();
        closed = gone.url(u"/"_s);
    }
    ASIHTTPRequest request(closed);
    request.startSynchronous();
    ASSERT_TRUE(request.error());
    EXPECT_EQ(request.error()->code, 1);
    EXPECT_EQ(request.error()->localizedDescription, u"A connection failure occurred"_s);
    EXPECT_FALSE(request.error()->underlyingError.isEmpty());
}

TEST_F(RequestTest, runsOnlyOnce)
{
    ASIHTTPRequest request(server.url(u"/"_s));
    request.startSynchronous();
    request.startSynchronous();
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(request.complete());
    EXPECT_FALSE(request.inProgress());
}
