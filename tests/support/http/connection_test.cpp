#include "httpenginetest.h"
#include "loopbackserver.h"
#include "scriptedserver.h"

#include "support/http/asihttprequest.h"

#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Answers every request on the connection with the same response until the client closes.
ScriptedServer::Script answerEvery(const QByteArray &response)
{
    return [response](ScriptedConnection &connection) {
        while (connection.readRequest())
            connection.send(response);
    };
}

void hangAfterRequest(ScriptedConnection &connection)
{
    connection.readRequest();
    connection.hangUntilStopped();
}

} // namespace

// Time-outs, retries, cancelling and the reuse of connections.
class ConnectionTest : public HTTPEngineTest {
protected:
    static std::unique_ptr<ASIHTTPRequest> get(const QUrl &url, double timeOut = 2)
    {
        auto request = ASIHTTPRequest::requestWithURL(url);
        request->setTimeOutSeconds(timeOut);
        return request;
    }
};

TEST_F(ConnectionTest, serverThatNeverAnswersTimesOut)
{
    ScriptedServer silent(hangAfterRequest);
    auto request = get(silent.url(u"/"_s), 0.3);
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 2);
    EXPECT_EQ(request->error()->localizedDescription, u"The request timed out"_s);
    EXPECT_EQ(silent.connectionCount(), 1);
}

TEST_F(ConnectionTest, timedOutRequestIsRetriedOnANewConnection)
{
    ScriptedServer answersSecondTime([](ScriptedConnection &connection) {
        if (connection.index() == 0)
            return hangAfterRequest(connection);
        answerEvery(ScriptedServer::response("HTTP/1.1 200 OK", "", "second time lucky"))(connection);
    });
    auto request = get(answersSecondTime.url(u"/"_s), 0.3);
    request->setNumberOfTimesToRetryOnTimeout(1);
    request->startSynchronous();
    EXPECT_FALSE(request->error());
    EXPECT_EQ(request->responseString(), u"second time lucky"_s);
    EXPECT_EQ(answersSecondTime.connectionCount(), 2);

    ScriptedServer silent(hangAfterRequest);
    auto persistent = get(silent.url(u"/"_s), 0.3);
    persistent->setNumberOfTimesToRetryOnTimeout(2);
    persistent->startSynchronous();
    ASSERT_TRUE(persistent->error());
    EXPECT_EQ(persistent->error()->code, 2);
    EXPECT_EQ(silent.connectionCount(), 3);
}

TEST_F(ConnectionTest, cancelStopsARunningRequest)
{
    ScriptedServer silent(hangAfterRequest);
    auto request = get(silent.url(u"/"_s), 30);
    std::thread canceller([&] {
        while (silent.connectionCount() == 0)
            std::this_thread::yield();
        request->cancel();
    });
    request->startSynchronous();
    canceller.join();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 4);
    EXPECT_EQ(request->error()->localizedDescription, u"The request was cancelled"_s);
    EXPECT_TRUE(request->isCancelled());
}

TEST_F(ConnectionTest, keptAliveConnectionIsReused)
{
    LoopbackServer server;
    server.server().set_keep_alive_max_count(100);
    server.server().Get(
        "/", [](const httplib::Request &, httplib::Response &res) { res.set_content("ok", "text/plain"); });
    server.start();
    for (int i = 0; i < 3; ++i)
        get(server.url(u"/"_s))->startSynchronous();
    EXPECT_EQ(server.connectionCount(), 1);

    for (int i = 0; i < 3; ++i) {
        auto request = get(server.url(u"/"_s));
        request->setShouldAttemptPersistentConnection(false);
        request->startSynchronous();
        EXPECT_FALSE(request->error());
    }
    EXPECT_EQ(server.connectionCount(), 4);
}

TEST_F(ConnectionTest, threadsShareThePoolAndTheCookieStore)
{
    LoopbackServer server;
    server.server().set_keep_alive_max_count(1000);
    server.server().Get("/", [](const httplib::Request &req, httplib::Response &res) {
        res.set_header("Set-Cookie", "visit=" + req.get_header_value("X-Thread") + "; Path=/");
        res.set_content("ok", "text/plain");
    });
    server.start();
    constexpr int threadCount = 4;
    constexpr int requestsPerThread = 10;
    std::atomic<int> succeeded = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < requestsPerThread; ++i) {
                auto request = get(server.url(u"/"_s));
                request->addRequestHeader(u"X-Thread"_s, QString::number(t));
                request->startSynchronous();
                if (!request->error() && request->responseString() == u"ok"_s)
                    ++succeeded;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(succeeded, threadCount * requestsPerThread);
    EXPECT_LE(server.connectionCount(), threadCount) << "each thread keeps reusing a connection";
    EXPECT_EQ(HTTPCookieStorage::sharedStorage().cookies().size(), 1);
}

TEST_F(ConnectionTest, connectionClosedByTheServerWhileIdleIsReplaced)
{
    ScriptedServer closesAfterFirstAnswer([](ScriptedConnection &connection) {
        const QByteArray response = ScriptedServer::response("HTTP/1.1 200 OK", "", "fine");
        connection.readRequest();
        connection.send(response);
        if (connection.index() == 0) {
            connection.readRequest(); // dropped unanswered: the socket closes
            return;
        }
        answerEvery(response)(connection);
    });
    for (int i = 0; i < 3; ++i) {
        auto request = get(closesAfterFirstAnswer.url(u"/"_s));
        request->startSynchronous();
        EXPECT_FALSE(request->error()) << "request " << i;
        EXPECT_EQ(request->responseString(), u"fine"_s);
    }
    EXPECT_EQ(closesAfterFirstAnswer.connectionCount(), 2);
}

TEST_F(ConnectionTest, reusedConnectionThatBreaksMidResponseIsRetriedOnce)
{
    ScriptedServer breaksOnReuse([](ScriptedConnection &connection) {
        const QByteArray response = ScriptedServer::response("HTTP/1.1 200 OK", "", "fine");
        connection.readRequest();
        connection.send(response);
        if (connection.index() == 0) {
            connection.readRequest();
            connection.send("HTTP/1.1 200 OK\r\nContent-Le"); // and the socket closes
            return;
        }
        answerEvery(response)(connection);
    });
    for (int i = 0; i < 2; ++i) {
        auto request = get(breaksOnReuse.url(u"/"_s));
        request->startSynchronous();
        EXPECT_FALSE(request->error()) << "request " << i;
        EXPECT_EQ(request->responseString(), u"fine"_s);
    }
    EXPECT_EQ(breaksOnReuse.connectionCount(), 2);
}

TEST_F(ConnectionTest, brokenResponseIsRetriedOnlyOnceAndOnlyOnAReusedConnection)
{
    ScriptedServer breaksAfterFirstAnswer([](ScriptedConnection &connection) {
        connection.readRequest();
        if (connection.index() == 0) {
            connection.send(ScriptedServer::response("HTTP/1.1 200 OK", "", "fine"));
            connection.readRequest();
        }
        connection.send("HTTP/1.1 200 OK\r\nContent-Le");
    });
    get(breaksAfterFirstAnswer.url(u"/"_s))->startSynchronous();
    auto request = get(breaksAfterFirstAnswer.url(u"/"_s));
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 1);
    EXPECT_EQ(breaksAfterFirstAnswer.connectionCount(), 2);

    auto fresh = get(breaksAfterFirstAnswer.url(u"/"_s));
    fresh->setShouldAttemptPersistentConnection(false);
    fresh->startSynchronous();
    ASSERT_TRUE(fresh->error());
    EXPECT_EQ(breaksAfterFirstAnswer.connectionCount(), 3);
}

struct ReuseCase {
    const char *name;
    QByteArray statusLine;
    QByteArray headers;
    int connectionsForTwoRequests;
};

void PrintTo(const ReuseCase &reuse, std::ostream *out)
{
    *out << reuse.name;
}

class ConnectionReuseTest : public ConnectionTest, public ::testing::WithParamInterface<ReuseCase> {};

TEST_P(ConnectionReuseTest, responseDecidesWhetherTheConnectionIsKept)
{
    const ReuseCase &reuse = GetParam();
    ScriptedServer server(answerEvery(ScriptedServer::response(reuse.statusLine, reuse.headers, "ok")));
    for (int i = 0; i < 2; ++i) {
        auto request = get(server.url(u"/"_s));
        request->startSynchronous();
        EXPECT_FALSE(request->error());
    }
    EXPECT_EQ(server.connectionCount(), reuse.connectionsForTwoRequests);
}

INSTANTIATE_TEST_SUITE_P(
    Responses, ConnectionReuseTest,
    ::testing::Values(ReuseCase{"http11", "HTTP/1.1 200 OK", "", 1},
                      ReuseCase{"connectionClose", "HTTP/1.1 200 OK", "Connection: Close\r\n", 2},
                      ReuseCase{"http10", "HTTP/1.0 200 OK", "", 2},
                      ReuseCase{"http10KeepAlive", "HTTP/1.0 200 OK", "Connection: keep-alive\r\n", 1},
                      ReuseCase{"fewRequestsLeft", "HTTP/1.1 200 OK", "Keep-Alive: timeout=30, max=5\r\n", 2},
                      ReuseCase{"enoughRequestsLeft", "HTTP/1.1 200 OK", "Keep-Alive: timeout=30, max=6\r\n",
                                1},
                      ReuseCase{"expiresAtOnce", "HTTP/1.1 200 OK", "Keep-Alive: timeout=0, max=100\r\n", 2},
                      ReuseCase{"keepAliveWithoutMax", "HTTP/1.1 200 OK", "Keep-Alive: timeout=30\r\n", 2}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST_F(ConnectionTest, idleConnectionExpiresAfterItsTimeout)
{
    ScriptedServer server(answerEvery(ScriptedServer::response("HTTP/1.1 200 OK", "", "ok")));
    for (int i = 0; i < 2; ++i) {
        auto request = get(server.url(u"/"_s));
        request->setPersistentConnectionTimeoutSeconds(0);
        request->startSynchronous();
    }
    EXPECT_EQ(server.connectionCount(), 2);
}
