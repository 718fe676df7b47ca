#include "common/waitfor.h"
#include "fakereadlaterservice.h"
#include "platform/manualclock.h"
#include "services/readlater/readabilityxauth.h"
#include "services/readlater/readabilityxauthdelegate.h"
#include "support/encoding/urlencode.h"

#include <QThread>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testing::ElementsAre;

namespace {
const QString reservedPassword = u"p&ss=w%rd +/?#[]!*'();:@$,\u00fc"_s;
const QString reservedLink = u"https://example.org/a b?q=1&r=caf\u00e9#frag+x/~y"_s;

class RecordingDelegate : public ReadabilityXAuthDelegate {
public:
    void readabilityXAuthDidAuthorize(ReadabilityXAuth &) override { calls.push_back("didAuthorize"); }
    void readabilityXAuthAuthorizationDidFail(ReadabilityXAuth &) override
    {
        calls.push_back("authorizationDidFail");
    }
    void readabilityXAuthDidBookmark(ReadabilityXAuth &) override { calls.push_back("didBookmark"); }
    void readabilityXAuthBookmarkDidFail(ReadabilityXAuth &) override { calls.push_back("bookmarkDidFail"); }
    std::vector<std::string> calls;
};
} // namespace

class ReadabilityXAuthTest : public testing::Test {
protected:
    ReadabilityXAuthTest()
        : client(fake.baseAddress(), QString::fromLatin1(FakeReadLaterService::consumerKey),
                 QString::fromLatin1(FakeReadLaterService::consumerSecret), clock)
    {
        client.setDelegate(&delegate);
        client.setUsername(u"reader"_s);
        client.setPassword(u"secret"_s);
    }

    bool waitForCalls(size_t count)
    {
        return waitFor([&] { return delegate.calls.size() >= count; });
    }

    FakeReadLaterService fake;
    ManualClock clock{QDateTime::fromSecsSinceEpoch(1'700'000'100, Qt::UTC)};
    RecordingDelegate delegate;
    ReadabilityXAuth client;
};

TEST_F(ReadabilityXAuthTest, authorizesWithReservedCharactersAndBookmarksAReservedLink)
{
    fake.setCredentials("r\u00e9ader name&=", reservedPassword.toStdString());
    client.setUsername(u"r\u00e9ader name&="_s);
    client.setPassword(reservedPassword);
    client.authorize();
    ASSERT_TRUE(waitForCalls(1));
    ASSERT_THAT(delegate.calls, ElementsAre("didAuthorize")) << fake.lastRefusal();
    EXPECT_EQ(client.token(), QString::fromLatin1(FakeReadLaterService::token));
    EXPECT_EQ(client.tokenSecret(), QString::fromLatin1(FakeReadLaterService::tokenSecret));
    EXPECT_EQ(client.state(), ReadabilityXAuth::Authorizing);
    EXPECT_EQ(fake.requests().at(0).body,
              "x_auth_mode=client_auth&x_auth_password=" + urlEncode(reservedPassword).toStdString() +
                  "&x_auth_username=r%C3%A9ader%20name%26%3D");

    client.bookmark(reservedLink);
    ASSERT_TRUE(waitForCalls(2));
    ASSERT_THAT(delegate.calls, ElementsAre("didAuthorize", "didBookmark")) << fake.lastRefusal();
    EXPECT_THAT(fake.bookmarks(), ElementsAre(reservedLink.toStdString()));
    EXPECT_EQ(fake.requests().at(1).body,
              "url=https%3A%2F%2Fexample.org%2Fa%20b%3Fq%3D1%26r%3Dcaf%C3%A9%23frag%2Bx%2F~y");
    EXPECT_FALSE(fake.requests().at(1).has_header("Content-Type"));
    // The test server hands header values over percent-decoded.
    const std::string header = fake.requests().at(1).get_header_value("Authorization");
    EXPECT_NE(header.find(", oauth_version=\"1.0\", oauth_token=\"access/token+1\""), std::string::npos)
        << header;
}

TEST_F(ReadabilityXAuthTest, refusedAuthorizationCallsOnlyTheFailure)
{
    client.setPassword(u"wrong"_s);
    client.authorize();
    ASSERT_TRUE(waitForCalls(1));
    QCoreApplication::processEvents();
    EXPECT_THAT(delegate.calls, ElementsAre("authorizationDidFail"));
    EXPECT_EQ(fake.lastRefusal(), "unknown user");
    ASSERT_TRUE(client.lastError());
    EXPECT_EQ(client.lastError()->domain, u"HTTP Property Status Code"_s);
    EXPECT_EQ(client.lastError()->code, 401);
    EXPECT_EQ(client.lastError()->localizedDescription, u"Server returned status code 401"_s);
    EXPECT_TRUE(client.token().isEmpty());
    EXPECT_EQ(client.tokenSecret(), u""_s);
}

TEST_F(ReadabilityXAuthTest, bookmarkFailuresCallTheBookmarkFailure)
{
    client.bookmark(u"https://example.org/"_s); // never authorized: the service knows no token
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_THAT(delegate.calls, ElementsAre("bookmarkDidFail"));

    client.authorize();
    ASSERT_TRUE(waitForCalls(2));
    fake.setBookmarkStatus(409);
    client.bookmark(u"https://example.org/"_s);
    ASSERT_TRUE(waitForCalls(3));
    EXPECT_THAT(delegate.calls, ElementsAre("bookmarkDidFail", "didAuthorize", "bookmarkDidFail"));
    EXPECT_EQ(client.lastError()->code, 409);
}

TEST_F(ReadabilityXAuthTest, transportErrorCallsTheFailure)
{
    ReadabilityXAuth closed(QUrl(u"http://127.0.0.1:1"_s), u"k"_s, u"s"_s, clock);
    closed.setDelegate(&delegate);
    closed.authorize();
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_THAT(delegate.calls, ElementsAre("authorizationDidFail"));
    EXPECT_EQ(closed.lastError()->domain, u"ASIHTTPRequestErrorDomain"_s);
}

TEST_F(ReadabilityXAuthTest, callbacksArriveOnTheClientsThread)
{
    QThread *calledOn = nullptr;
    class ThreadDelegate : public ReadabilityXAuthDelegate {
    public:
        explicit ThreadDelegate(QThread *&thread) : m_thread(thread) {}
        void readabilityXAuthDidAuthorize(ReadabilityXAuth &) override
        {
            m_thread = QThread::currentThread();
        }
        QThread *&m_thread;
    } threadDelegate(calledOn);
    client.setDelegate(&threadDelegate);
    client.authorize();
    ASSERT_TRUE(waitFor([&] { return calledOn != nullptr; }));
    EXPECT_EQ(calledOn, QThread::currentThread());
}

TEST_F(ReadabilityXAuthTest, signingPiecesOfABookmark)
{
    client.setToken(u"tok"_s);
    client.bookmark(u"http://x.org/?a=b"_s);
    const QString base = client.baseString();
    EXPECT_TRUE(base.startsWith(u"POST&http%3A%2F%2F127.0.0.1%3A"_s)) << base.toStdString();
    EXPECT_TRUE(base.contains(u"%2Fapi%2Frest%2Fv1%2Fbookmarks&"_s));
    // The link encoded twice; parameters sorted by name and joined with an encoded "&".
    EXPECT_TRUE(base.endsWith(
        u"oauth_token%3Dtok%26oauth_version%3D1.0%26url%3Dhttp%253A%252F%252Fx.org%252F%253Fa%253Db"_s))
        << base.toStdString();
    EXPECT_TRUE(base.contains(u"%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1700000128%26"_s));
    const QString header = client.authorizationHeader();
    EXPECT_TRUE(header.startsWith(u"OAuth oauth_nonce=\""_s));
    EXPECT_TRUE(header.endsWith(u"oauth_version=\"1.0\", oauth_token=\"tok\""_s)) << header.toStdString();
    ASSERT_TRUE(waitForCalls(1));
}

TEST_F(ReadabilityXAuthTest, nonceAndTimestampAreKeptUntilReset)
{
    // Single precision: 1700000100 s lies nearer to 1700000128 than to 1700000000.
    EXPECT_EQ(client.timestamp(), u"1700000128"_s);
    clock.advance(10'000);
    EXPECT_EQ(client.timestamp(), u"1700000128"_s);
    client.resetTimestamp();
    EXPECT_EQ(client.timestamp(), u"1700000128"_s);
    clock.advance(100'000);
    client.resetTimestamp();
    EXPECT_EQ(client.timestamp(), u"1700000256"_s);

    const QString nonce = client.nonce();
    bool isNumber = false;
    nonce.toInt(&isNumber);
    EXPECT_TRUE(isNumber) << nonce.toStdString();
    EXPECT_EQ(client.nonce(), nonce);
    client.resetNonce();
    EXPECT_NE(client.nonce(), nonce);
}
