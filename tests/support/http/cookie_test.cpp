#include "httpenginetest.h"
#include "loopbackserver.h"

#include "support/http/asihttprequest.h"

using namespace Qt::StringLiterals;

// Which cookies a request sends and which received ones the process-wide store keeps.
class CookieTest : public HTTPEngineTest {
protected:
    void SetUp() override
    {
        HTTPEngineTest::SetUp();
        auto &routes = server.server();
        routes.Get("/login", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "session=1; Path=/");
            res.set_header("Set-Cookie", "private=2; Path=/private; HttpOnly");
            res.set_content("welcome", "text/plain");
        });
        routes.Get("/logout", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "session=gone; Path=/; Max-Age=0");
        });
        routes.Get("/bounce", [](const httplib::Request &, httplib::Response &res) {
            res.status = 302;
            res.set_header("Set-Cookie", "bounced=yes; Path=/");
            res.set_header("Location", "/public");
        });
        auto echoCookie = [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        };
        routes.Get("/public", echoCookie).Get("/private/page", echoCookie);
        server.start();
    }

    QString cookieSentTo(const QString &path, bool persistence = true, const QList<HTTPCookie> &own = {})
    {
        ASIHTTPRequest request(server.url(path));
        request.setUseCookiePersistence(persistence);
        request.requestCookies().append(own);
        request.startSynchronous();
        EXPECT_FALSE(request.error());
        return request.responseString().value_or(u"(no body)"_s);
    }

    LoopbackServer server;
};

TEST_F(CookieTest, withoutPersistenceOnlyTheRequestsOwnCookiesAreSent)
{
    const HTTPCookie foreign(u"SID"_s, u"abc"_s);
    EXPECT_EQ(cookieSentTo(u"/public"_s, false, {foreign, HTTPCookie(u"LSID"_s, u"def"_s)}),
              u"SID=abc; LSID=def"_s);

    cookieSentTo(u"/login"_s, false);
    EXPECT_TRUE(HTTPCookieStorage::sharedStorage().cookies().isEmpty()) << "received cookies are not stored";
    EXPECT_EQ(cookieSentTo(u"/bounce"_s, false, {foreign}), QString()) << "a redirect to GET sends no cookie";
}

TEST_F(CookieTest, withPersistenceReceivedCookiesAreSentBackByPath)
{
    cookieSentTo(u"/login"_s);
    EXPECT_EQ(HTTPCookieStorage::sharedStorage().cookies().size(), 2);
    EXPECT_EQ(cookieSentTo(u"/public"_s), u"session=1"_s);
    EXPECT_EQ(cookieSentTo(u"/private/page"_s), u"private=2; session=1"_s) << "longer paths first";
    EXPECT_EQ(cookieSentTo(u"/public"_s, true, {HTTPCookie(u"own"_s, u"x"_s)}), u"own=x; session=1"_s);

    cookieSentTo(u"/logout"_s);
    EXPECT_EQ(cookieSentTo(u"/public"_s), QString()) << "Max-Age=0 removes the stored cookie";
}

TEST_F(CookieTest, cookieSetByARedirectReachesItsTarget)
{
    EXPECT_EQ(cookieSentTo(u"/bounce"_s), u"bounced=yes"_s);
}

// The rules of one cookie, without a server.
TEST(HTTPCookieRulesTest, domainPathSecureAndExpiry)
{
    const QUrl site(u"http://www.example.org/news/today"_s);
    const QDateTime now = QDateTime::fromString(u"2026-12-06T10:00:00Z"_s, Qt::ISODate);

    const auto hostOnly = HTTPCookie::fromSetCookieHeader(u"a=1"_s, site, now);
    ASSERT_TRUE(hostOnly);
    EXPECT_EQ(hostOnly->path, u"/news"_s);
    EXPECT_TRUE(hostOnly->matchesURL(QUrl(u"http://www.example.org/news/later"_s)));
    EXPECT_FALSE(hostOnly->matchesURL(QUrl(u"http://example.org/news/"_s)));
    EXPECT_FALSE(hostOnly->matchesURL(QUrl(u"http://www.example.org/newsroom"_s)));

    const auto domain =
        HTTPCookie::fromSetCookieHeader(u"b=2; Domain=.Example.org; Path=/; Secure"_s, site, now);
    ASSERT_TRUE(domain);
    EXPECT_TRUE(domain->matchesURL(QUrl(u"https://feeds.example.org/"_s)));
    EXPECT_FALSE(domain->matchesURL(QUrl(u"http://feeds.example.org/"_s))) << "secure cookies need https";
    EXPECT_FALSE(domain->matchesURL(QUrl(u"https://badexample.org/"_s)));

    EXPECT_FALSE(HTTPCookie::fromSetCookieHeader(u"c=3; Domain=other.org"_s, site, now));
    EXPECT_FALSE(HTTPCookie::fromSetCookieHeader(u"no-equals-sign"_s, site, now));

    const auto expires =
        HTTPCookie::fromSetCookieHeader(u"d=4; Expires=Wed, 09 Jun 2021 10:18:14 GMT"_s, site, now);
    ASSERT_TRUE(expires);
    EXPECT_TRUE(expires->isExpired(now));
    const auto maxAge = HTTPCookie::fromSetCookieHeader(
        u"e=5; Max-Age=60; Expires=Wed, 09 Jun 2021 10:18:14 GMT"_s, site, now);
    EXPECT_EQ(maxAge->expiresDate, now.addSecs(60)) << "Max-Age wins over Expires";
}
