#include "feedsimprocess.h"

#include "platform/network/feedfetcher.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

class FeedFetcherTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new FeedSimProcess; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server->isRunning()) << FeedSimProcess::program().toStdString(); }

    static FetchOptions quick()
    {
        FetchOptions options;
        options.idleTimeout = 2s;
        options.deadline = 5s;
        return options;
    }

    // Fetches into memory; the text of the result's error, or "ok: <body>".
    static FetchResult get(const QString &path, QByteArray *body = nullptr, FetchOptions options = quick())
    {
        QByteArray ignored;
        FeedFetcher fetcher(options);
        return fetcher.fetch(server->url(path), body ? *body : ignored);
    }

    static inline FeedSimProcess *server = nullptr;
};

TEST_F(FeedFetcherTest, deliversTheBodyPlainOrCompressed)
{
    QByteArray plain;
    const FetchResult result = get(u"/rss/news.xml?entries=3&step=1"_s, &plain);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.contentType, "application/rss+xml");
    EXPECT_TRUE(plain.startsWith("<?xml")) << plain.left(100).toStdString();
    EXPECT_EQ(result.bytes, plain.size());

    QByteArray inflated;
    ASSERT_TRUE(get(u"/rss/news.xml?entries=3&step=1&gzip=1"_s, &inflated).ok());
    EXPECT_EQ(inflated, plain);
}

TEST_F(FeedFetcherTest, namesItselfAndCanAskForAFreshCopy)
{
    QByteArray headers;
    FetchOptions options = FetchOptions::forIcons();
    get(u"/echo"_s, &headers, options);
    EXPECT_TRUE(headers.contains("User-Agent: Vantrel/")) << headers.toStdString();
    EXPECT_TRUE(headers.contains("Cache-Control: no-cache"));
    EXPECT_EQ(FeedFetcher::userAgent().section(u'/', 0, 0), u"Vantrel"_s);
}

TEST_F(FeedFetcherTest, httpErrorsAreFailuresWhateverTheBody)
{
    int deliveries = 0;
    FeedFetcher fetcher(quick());
    const FetchResult withFeed =
        fetcher.fetch(server->url(u"/bad/status/404?body=xml"_s), [&](const FetchResponse &, QByteArrayView) {
            ++deliveries;
            return true;
        });
    EXPECT_EQ(withFeed.error, u"HTTP 404 Not Found"_s);
    EXPECT_EQ(withFeed.status, 404);
    EXPECT_EQ(deliveries, 0);
    EXPECT_EQ(get(u"/bad/status/500?body=html"_s).error, u"HTTP 500 Internal Server Error"_s);
    EXPECT_EQ(get(u"/bad/status/503?body=none"_s).error, u"HTTP 503 Service Unavailable"_s);
    EXPECT_EQ(get(u"/bad/status/418"_s).error, u"HTTP 418 I'm a teapot"_s);
}

TEST_F(FeedFetcherTest, followsRedirectsUpToALimit)
{
    const FetchResult chain = get(u"/bad/redirect/3"_s);
    ASSERT_TRUE(chain.ok()) << chain.error.toStdString();
    EXPECT_EQ(chain.url.path(), u"/rss/redirected.xml"_s);
    EXPECT_EQ(get(u"/bad/redirect/11"_s).error, u"Too many redirects (more than 10)"_s);
    EXPECT_EQ(get(u"/bad/loop/a"_s).error, u"Too many redirects (more than 10)"_s);
    EXPECT_EQ(get(u"/bad/redirect-to?url=file:///etc/passwd"_s).error,
              u"Redirected to an unsupported address"_s);
}

TEST_F(FeedFetcherTest, connectionAndAddressFailuresInPlainWords)
{
    FeedFetcher fetcher(quick());
    QByteArray body;
    EXPECT_EQ(fetcher.fetch(QUrl(u"http://127.0.0.1:1/feed.xml"_s), body).error, u"Connection refused"_s);
    EXPECT_EQ(fetcher.fetch(QUrl(u"ftp://127.0.0.1/feed.xml"_s), body).error,
              u"Unsupported address: ftp://127.0.0.1/feed.xml"_s);
    EXPECT_EQ(fetcher.fetch(QUrl(u"file:///etc/passwd"_s), body).error,
              u"Unsupported address: file:///etc/passwd"_s);
}

TEST_F(FeedFetcherTest, silentServersAndEndlessBodiesTimeOut)
{
    FetchOptions options = quick();
    options.idleTimeout = 300ms;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(get(u"/bad/slow?delay=10000"_s, nullptr, options).error, u"No data received for 300 ms"_s);
    EXPECT_LT(timer.elapsed(), 3000);

    options.idleTimeout = 2s;
    options.deadline = 600ms;
    timer.restart();
    EXPECT_EQ(get(u"/bad/endless?interval=20"_s, nullptr, options).error,
              u"Download not finished after 600 ms"_s);
    EXPECT_EQ(get(u"/bad/drip?interval=50"_s, nullptr, options).error,
              u"Download not finished after 600 ms"_s);
    EXPECT_LT(timer.elapsed(), 4000);
}

TEST_F(FeedFetcherTest, bodiesAreCappedAfterDecompression)
{
    // Inflating tens of MiB under the sanitizers on a busy machine outlasts the quick deadline.
    FetchOptions patient = quick();
    patient.idleTimeout = 30s;
    patient.deadline = 60s;
    qint64 received = 0;
    FeedFetcher fetcher(patient);
    const FetchResult bomb = fetcher.fetch(server->url(u"/bad/gzip-bomb?size=64"_s),
                                           [&](const FetchResponse &, QByteArrayView bytes) {
                                               received += bytes.size();
                                               return true;
                                           });
    EXPECT_EQ(bomb.error, u"Download exceeds 32 MiB"_s);
    EXPECT_LE(received, 32 * 1024 * 1024);

    FetchOptions small = patient;
    small.maxBytes = 1024 * 1024;
    EXPECT_EQ(get(u"/bad/huge?size=4"_s, nullptr, small).error, u"Download exceeds 1 MiB"_s);
    EXPECT_EQ(get(u"/bad/gzip-bomb?size=4"_s, nullptr, small).error, u"Download exceeds 1 MiB"_s);
}

TEST_F(FeedFetcherTest, readerOrAnotherThreadCanStopATransfer)
{
    FeedFetcher fetcher(quick());
    const FetchResult stopped = fetcher.fetch(server->url(u"/bad/endless?interval=10"_s),
                                              [](const FetchResponse &, QByteArrayView) { return false; });
    EXPECT_EQ(stopped.error, u"Stopped by the reader"_s);

    std::thread canceller([&fetcher] {
        std::this_thread::sleep_for(200ms);
        fetcher.cancel();
    });
    QByteArray body;
    EXPECT_EQ(fetcher.fetch(server->url(u"/bad/endless?interval=10"_s), body).error, u"Cancelled"_s);
    canceller.join();
}
