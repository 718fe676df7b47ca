#include "common/qtprinters.h"
#include "feedsourcefixture.h"
#include "model/manager/refreshround.h"

#include <latch>

using namespace Qt::StringLiterals;

namespace {

using RefreshRequest = RSSDatasource::RefreshRequest;

// A refresh asked for by the user, out of turn, against the feed server: what it starts, what
// it refuses, and the HTTP status it leaves with the source.
class RequestedRefreshTest : public FeedSourceFixture {
protected:
    RequestedRefreshTest() : FeedSourceFixture(30) {}

    QString address(const QString &pathAndQuery) const
    {
        return QString::fromStdString(server.baseUrl()) + pathAndQuery;
    }

    // A refresh the source was due for; afterwards it is not due for the whole interval.
    void refreshOnce(const std::shared_ptr<RSSDatasource> &source)
    {
        ASSERT_TRUE(source->updateData());
        waitUntilIdle(source);
        ASSERT_TRUE(source->lastUpdatedAt().isValid());
    }

    // Takes every refresh slot until `free` is counted down.
    void fillThePool(std::latch &free)
    {
        const int capacity = environment.numberOfSources() / 30 + 3;
        for (int slot = 0; slot < capacity; ++slot)
            ASSERT_TRUE(environment.pool.tryStart(capacity, [&free](const auto &) { free.wait(); }));
    }
};

TEST_F(RequestedRefreshTest, aRequestReadsAFeedThatIsNotDueAndKeepsTheServersAnswer)
{
    auto source = sourceFor(address(u"/rss/changing.xml?entries=3&origin=1780000000"_s));
    refreshOnce(source);
    ASSERT_EQ(source->items().size(), 3);
    server.advance(2);
    ASSERT_TRUE(source->updateData());
    EXPECT_FALSE(source->isRunning()) << "not due";

    EXPECT_EQ(source->requestRefresh(), RefreshRequest::Started);
    waitUntilIdle(source);
    EXPECT_EQ(server.hits("/rss/changing.xml"), 2);
    EXPECT_EQ(source->items().size(), 5);
    EXPECT_EQ(source->httpStatus(), u"200 OK"_s);

    source->setURL(address(u"/bad/status/404"_s));
    EXPECT_TRUE(source->httpStatus().isEmpty()) << "the old address's answer";
    waitUntilIdle(source);
    EXPECT_EQ(source->requestRefresh(), RefreshRequest::Started);
    waitUntilIdle(source);
    EXPECT_EQ(source->httpStatus(), u"404 Not Found"_s);
    EXPECT_EQ(source->items().size(), 5);

    // No answer at all: the transfer's own error.
    source->setURL(u"http://127.0.0.1:9/none.xml"_s);
    waitUntilIdle(source);
    EXPECT_EQ(source->requestRefresh(), RefreshRequest::Started);
    waitUntilIdle(source);
    EXPECT_FALSE(source->httpStatus().isEmpty());
    EXPECT_EQ(source->httpStatus(), source->errorString());
}

TEST_F(RequestedRefreshTest, aSourceThatIsRefreshingOrDisabledStartsNoSecondTransfer)
{
    auto source = sourceFor(address(u"/bad/slow?delay=400"_s));
    ASSERT_EQ(source->requestRefresh(), RefreshRequest::Started);
    EXPECT_EQ(source->requestRefresh(), RefreshRequest::AlreadyRunning);
    EXPECT_TRUE(source->updateData());
    waitUntilIdle(source);
    EXPECT_EQ(server.hits("/bad/slow"), 1);
    // The refused request left nothing behind for the rounds.
    EXPECT_TRUE(source->updateData());
    waitUntilIdle(source);
    EXPECT_EQ(server.hits("/bad/slow"), 1);

    source->setEnabled(false);
    EXPECT_EQ(source->requestRefresh(), RefreshRequest::Disabled);
    EXPECT_FALSE(source->isRunning());
    EXPECT_EQ(server.hits("/bad/slow"), 1);
}

TEST_F(RequestedRefreshTest, aRequestWithEverySlotTakenIsStartedOnceByALaterRound)
{
    auto source = sourceFor(address(u"/rss/waiting.xml?entries=2&origin=1780000000"_s));
    refreshOnce(source);
    {
        std::latch free(1);
        fillThePool(free);
        EXPECT_EQ(source->requestRefresh(), RefreshRequest::Waiting);
        EXPECT_FALSE(source->updateData()) << "still no slot: the request stays";
        free.count_down();
        ASSERT_TRUE(waitFor([&] { return environment.pool.runningRefreshes() == 0; }));
    }
    EXPECT_EQ(server.hits("/rss/waiting.xml"), 1);

    EXPECT_TRUE(source->updateData());
    waitUntilIdle(source);
    EXPECT_EQ(server.hits("/rss/waiting.xml"), 2);
    EXPECT_TRUE(source->updateData());
    waitUntilIdle(source);
    EXPECT_EQ(server.hits("/rss/waiting.xml"), 2) << "the request counts once";
}

// Feeds that fell due by themselves could take every slot of a round again and again.
TEST_F(RequestedRefreshTest, aWaitingRequestGoesFirstInTheNextRound)
{
    auto asked = sourceFor(address(u"/rss/asked.xml?entries=2&origin=1780000000"_s));
    refreshOnce(asked);
    QList<std::shared_ptr<Datasource>> sourcesOfTheRound;
    for (int i = 0; i < 5; ++i)
        sourcesOfTheRound.append(sourceFor(address(u"/bad/slow?delay=300&feed=%1"_s.arg(i))));
    sourcesOfTheRound.append(asked);
    {
        std::latch free(1);
        fillThePool(free);
        ASSERT_EQ(asked->requestRefresh(), RefreshRequest::Waiting);
        free.count_down();
        ASSERT_TRUE(waitFor([&] { return environment.pool.runningRefreshes() == 0; }));
    }
    RefreshRound::run(sourcesOfTheRound, 0, double(clock.now().toSecsSinceEpoch()),
                      [](const Datasource *) { return false; });
    waitUntilIdle(asked);
    EXPECT_EQ(server.hits("/rss/asked.xml"), 2);
}

TEST_F(RequestedRefreshTest, afterThePoolClosesARequestStartsNothing)
{
    auto source = sourceFor(address(u"/rss/closing.xml"_s));
    environment.pool.close();
    EXPECT_NE(source->requestRefresh(), RefreshRequest::Started);
    EXPECT_FALSE(source->isRunning());
    EXPECT_EQ(server.hits("/rss/closing.xml"), 0);
}

} // namespace
