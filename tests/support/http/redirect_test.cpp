#include "httpenginetest.h"
#include "loopbackserver.h"

#include "support/http/asiformdatarequest.h"

using namespace Qt::StringLiterals;

namespace {

void addRedirectRoutes(httplib::Server &server)
{
    auto redirect = [](const httplib::Request &req, httplib::Response &res) {
        res.status = std::stoi(req.matches[1]);
        res.set_header("Location",
                       req.has_param("to") ? req.get_param_value("to") : "../target?from=redirect");
    };
    auto target = [](const httplib::Request &req, httplib::Response &res) {
        res.set_content(req.method + " " + req.body, "text/plain");
    };
    server.Get(R"(/redirect/(\d+))", redirect).Post(R"(/redirect/(\d+))", redirect);
    server.Get("/target", target).Post("/target", target);
    server.Get(R"(/chain/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
        const int remaining = std::stoi(req.matches[1]);
        if (remaining == 0)
            return res.set_content("end of chain", "text/plain");
        res.status = 302;
        res.set_header("Location", "/chain/" + std::to_string(remaining - 1));
    });
}

} // namespace

// Which redirects are followed, and what the request looks like after each.
class RedirectTest : public HTTPEngineTest {
protected:
    void SetUp() override
    {
        HTTPEngineTest::SetUp();
        addRedirectRoutes(server.server());
        server.start();
    }

    // A login-like POST with the headers and cookie a service client sends.
    std::unique_ptr<ASIFormDataRequest> loginRequest(const QUrl &url)
    {
        auto request = ASIFormDataRequest::requestWithURL(url);
        request->setUseCookiePersistence(false);
        request->setPostValue(u"reader"_s, u"service"_s);
        request->addRequestHeader(u"User-Agent"_s, u"Reader/1.0"_s);
        request->addRequestHeader(u"Accept"_s, u"application/json"_s);
        request->addRequestHeader(u"Authorization"_s, u"GoogleLogin auth=secret"_s);
        request->addRequestHeader(u"X-Custom"_s, u"kept?"_s);
        request->requestCookies().append(HTTPCookie{u"SID"_s, u"abc"_s});
        return request;
    }

    LoopbackServer server;
};

struct RedirectCase {
    int status;
    bool becomesGet;
};

void PrintTo(const RedirectCase &redirect, std::ostream *out)
{
    *out << redirect.status;
}

class RedirectStatusTest : public RedirectTest, public ::testing::WithParamInterface<RedirectCase> {};

TEST_P(RedirectStatusTest, methodBodyAndHeadersAfterRedirect)
{
    const auto [status, becomesGet] = GetParam();
    auto request = loginRequest(server.url(u"/redirect/%1"_s.arg(status)));
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->redirectCount(), 1);
    EXPECT_EQ(request->url(), server.url(u"/target?from=redirect"_s)) << "relative Location is resolved";

    const httplib::Request received = server.lastRequest();
    EXPECT_EQ(received.path, "/target");
    EXPECT_EQ(received.get_header_value("User-Agent"), "Reader/1.0");
    EXPECT_EQ(received.get_header_value("Accept"), "application/json");
    if (becomesGet) {
        EXPECT_EQ(request->responseString(), u"GET "_s);
        for (const char *dropped : {"Content-Type", "Content-Length", "Authorization", "X-Custom", "Cookie"})
            EXPECT_FALSE(received.has_header(dropped)) << dropped;
    } else {
        EXPECT_EQ(request->responseString(), u"POST service=reader"_s);
        EXPECT_EQ(received.get_header_value("Content-Type"),
                  "application/x-www-form-urlencoded; charset=utf-8");
        EXPECT_EQ(received.get_header_value("Authorization"), "GoogleLogin auth=secret");
        EXPECT_EQ(received.get_header_value("X-Custom"), "kept?");
        EXPECT_EQ(received.get_header_value("Cookie"), "SID=abc");
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, RedirectStatusTest,
                         ::testing::Values(RedirectCase{301, true}, RedirectCase{302, true},
                                           RedirectCase{303, true}, RedirectCase{307, false}),
                         [](const auto &testInfo) { return std::to_string(testInfo.param.status); });

TEST_F(RedirectTest, rfc2616BehaviourKeepsThePostOn302)
{
    auto request = loginRequest(server.url(u"/redirect/302"_s));
    request->setShouldUseRFC2616RedirectBehaviour(true);
    request->startSynchronous();
    EXPECT_EQ(request->responseString(), u"POST service=reader"_s);

    auto see303 = loginRequest(server.url(u"/redirect/303"_s));
    see303->setShouldUseRFC2616RedirectBehaviour(true);
    see303->startSynchronous();
    EXPECT_EQ(see303->responseString(), u"GET "_s);
}

TEST_F(RedirectTest, fiveRedirectsAreFollowedTheSixthFails)
{
    ASIHTTPRequest five(server.url(u"/chain/5"_s));
    five.startSynchronous();
    EXPECT_FALSE(five.error());
    EXPECT_EQ(five.redirectCount(), 5);
    EXPECT_EQ(five.responseString(), u"end of chain"_s);

    ASIHTTPRequest six(server.url(u"/chain/6"_s));
    six.startSynchronous();
    ASSERT_TRUE(six.error());
    EXPECT_EQ(six.error()->code, 9);
    EXPECT_EQ(six.error()->localizedDescription,
              u"The request failed because it redirected too many times"_s);
    EXPECT_EQ(six.redirectCount(), 6);
}

TEST_F(RedirectTest, redirectsAreLeftAloneWhenNotWanted)
{
    ASIHTTPRequest request(server.url(u"/redirect/302"_s));
    request.setShouldRedirect(false);
    request.startSynchronous();
    EXPECT_FALSE(request.error());
    EXPECT_EQ(request.responseStatusCode(), 302);
    EXPECT_EQ(request.responseHeaders().value(u"Location"_s), u"../target?from=redirect"_s);

    ASIHTTPRequest notARedirect(server.url(u"/redirect/300"_s));
    notARedirect.startSynchronous();
    EXPECT_EQ(notARedirect.responseStatusCode(), 300);
    EXPECT_EQ(notARedirect.redirectCount(), 0);
}

TEST_F(RedirectTest, credentialsStayWithTheirOrigin)
{
    LoopbackServer other;
    addRedirectRoutes(other.server());
    other.start();
    const std::string elsewhere = other.url(u"/target"_s).toString().toStdString();

    auto request = loginRequest(server.url(u"/redirect/307?to="_s + QString::fromStdString(elsewhere)));
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseString(), u"POST service=reader"_s) << "a 307 still keeps method and body";
    const httplib::Request received = other.lastRequest();
    EXPECT_EQ(received.get_header_value("X-Custom"), "kept?");
    EXPECT_FALSE(received.has_header("Authorization"));
    EXPECT_FALSE(received.has_header("Cookie"));
}

TEST_F(RedirectTest, redirectToAnotherSchemeFails)
{
    ASIHTTPRequest request(server.url(u"/redirect/302?to=file:///etc/passwd"_s));
    request.startSynchronous();
    ASSERT_TRUE(request.error());
    EXPECT_EQ(request.error()->code, 5);
}
