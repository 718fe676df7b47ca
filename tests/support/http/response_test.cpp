#include "httpenginetest.h"
#include "loopbackserver.h"

#include "support/http/asidatacompressor.h"
#include "support/http/asihttprequest.h"

using namespace Qt::StringLiterals;

namespace {

std::string gzip(const QByteArray &data)
{
    return ASIDataCompressor::compressData(data).data.toStdString();
}

} // namespace

// What a finished request hands back: status, headers, body and its text.
class ResponseTest : public HTTPEngineTest {
protected:
    void SetUp() override
    {
        HTTPEngineTest::SetUp();
        auto &routes = server.server();
        routes.Get("/latin1", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("caf\xe9", "text/plain");
        });
        routes.Get("/utf8", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("caf\xc3\xa9", "text/plain; charset=\"UTF-8\"");
        });
        routes.Get("/bad-utf8", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("caf\xe9", "text/plain; charset=utf-8");
        });
        // The server gzips JSON and text itself for clients that accept it.
        routes.Get("/gzip", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(R"({"subscriptions":[]})", "application/json");
        });
        routes.Get("/damaged-gzip", [](const httplib::Request &, httplib::Response &res) {
            std::string body = gzip("some text that will not survive");
            body[body.size() / 2] ^= 0x55;
            res.set_header("Content-Encoding", "gzip");
            res.set_content(body, "application/octet-stream");
        });
        routes.Get("/bomb", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(gzip(QByteArray(8 * 1024 * 1024, '\0')), "application/octet-stream");
        });
        routes.Get("/big", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(2 * 1024 * 1024, 'x'), "application/octet-stream");
        });
        routes.Get("/status/500", [](const httplib::Request &, httplib::Response &res) {
            res.status = 500;
            res.set_content("broken", "text/plain");
        });
        routes.Get("/status/401", [](const httplib::Request &, httplib::Response &res) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "GoogleLogin realm=\"x\"");
            res.set_content("Error=BadAuthentication", "text/plain");
        });
        server.start();
    }

    std::unique_ptr<ASIHTTPRequest> fetch(const QString &path, qint64 maximumSize = 0)
    {
        auto request = ASIHTTPRequest::requestWithURL(server.url(path));
        if (maximumSize > 0)
            request->setMaximumResponseSize(maximumSize);
        request->startSynchronous();
        EXPECT_TRUE(request->complete());
        return request;
    }

    LoopbackServer server;
};

TEST_F(ResponseTest, textWithoutCharsetIsDecodedAsLatin1)
{
    auto request = fetch(u"/latin1"_s);
    EXPECT_FALSE(request->error());
    EXPECT_EQ(request->responseStatusCode(), 200);
    EXPECT_EQ(request->responseStatusMessage(), u"HTTP/1.1 200 OK"_s);
    EXPECT_EQ(request->responseHeaders().value(u"content-type"_s), u"text/plain"_s);
    EXPECT_EQ(request->responseEncoding(), "ISO-8859-1");
    EXPECT_EQ(request->responseString(), u"café"_s);
}

TEST_F(ResponseTest, charsetOfContentTypeDecidesTheText)
{
    auto request = fetch(u"/utf8"_s);
    EXPECT_EQ(request->responseEncoding(), "UTF-8");
    EXPECT_EQ(request->responseString(), u"café"_s);

    auto undecodable = fetch(u"/bad-utf8"_s);
    EXPECT_FALSE(undecodable->error());
    EXPECT_EQ(undecodable->responseData(), QByteArray("caf\xe9"));
    EXPECT_FALSE(undecodable->responseString());
}

TEST_F(ResponseTest, gzipBodyIsInflated)
{
    auto request = fetch(u"/gzip"_s);
    EXPECT_EQ(server.lastRequest().get_header_value("Accept-Encoding"), "gzip");
    EXPECT_FALSE(request->error());
    EXPECT_EQ(request->responseHeaders().value(u"Content-Encoding"_s), u"gzip"_s);
    EXPECT_EQ(request->responseData(), QByteArray(R"({"subscriptions":[]})"));
    EXPECT_NE(request->rawResponseData(), request->responseData());
}

TEST_F(ResponseTest, damagedGzipBodyLeavesNoData)
{
    auto request = fetch(u"/damaged-gzip"_s);
    EXPECT_FALSE(request->error());
    EXPECT_FALSE(request->responseData());
    EXPECT_FALSE(request->responseString());
}

TEST_F(ResponseTest, bodiesPastTheSizeLimitFail)
{
    auto bomb = fetch(u"/bomb"_s, 1024 * 1024);
    ASSERT_TRUE(bomb->error());
    EXPECT_EQ(bomb->error()->code, 11);
    EXPECT_FALSE(bomb->responseData());

    auto big = fetch(u"/big"_s, 1024 * 1024);
    ASSERT_TRUE(big->error());
    EXPECT_EQ(big->error()->errorCode(), HTTPErrorCode::ResponseTooLarge);

    EXPECT_FALSE(fetch(u"/big"_s)->error()) << "the default limit allows ordinary bodies";
}

TEST_F(ResponseTest, errorStatusCompletesWithoutError)
{
    auto request = fetch(u"/status/500"_s);
    EXPECT_FALSE(request->error());
    EXPECT_EQ(request->responseStatusCode(), 500);
    EXPECT_EQ(request->responseString(), u"broken"_s);
}

TEST_F(ResponseTest, unauthorizedFailsWithAuthenticationNeeded)
{
    auto request = fetch(u"/status/401"_s);
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->domain, u"ASIHTTPRequestErrorDomain"_s);
    EXPECT_EQ(request->error()->code, 3);
    EXPECT_EQ(request->error()->localizedDescription, u"Authentication needed"_s);
    EXPECT_EQ(request->responseStatusCode(), 401);
    EXPECT_EQ(request->responseString(), u"Error=BadAuthentication"_s);
}
