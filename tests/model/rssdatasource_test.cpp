#include "common/qtprinters.h"
#include "documentserver.h"
#include "feedsourcefixture.h"
#include "model/entry/itemkeys.h"
#include "model/entry/textcaps.h"

#include <QImage>
#include <latch>
#include <stdexcept>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QString serveDocument(DocumentServer &server, const std::string &path, const std::string &document)
{
    return QString::fromStdString(server.serve(path, document));
}

std::string rssWithItems(const std::string &items)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Fixed</title>" + items +
           "</channel></rss>";
}

std::string datedItem(const std::string &guid, const QDateTime &date)
{
    return "<item><title>" + guid + "</title><guid>" + guid + "</guid><pubDate>" +
           date.toString(Qt::RFC2822Date).toStdString() + "</pubDate></item>";
}

} // namespace

class RSSDatasourceTest : public FeedSourceFixture {
protected:
    RSSDatasourceTest() : FeedSourceFixture(2) {}

    QString feedUrl(const QString &pathAndQuery) const
    {
        const QString separator = pathAndQuery.contains(u'?') ? u"&"_s : u"?"_s;
        return QString::fromStdString(server.baseUrl()) + pathAndQuery + separator +
               u"origin=%1"_s.arg(origin);
    }

    // One refresh through the thread a due source starts, a refresh interval after the last.
    void refresh(const std::shared_ptr<RSSDatasource> &source)
    {
        clock.advance(10 * 60 * 1000);
        ASSERT_TRUE(source->updateData());
        waitUntilIdle(source);
    }

    QStringList guids(const QList<DataItemPtr> &items) const
    {
        QStringList list;
        for (const auto &item : items)
            list.append(item->objectForKey(ItemKey::guid).toString().trimmed());
        return list;
    }
};

TEST_F(RSSDatasourceTest, firstRefreshFilesHistoryAndTheNextAnnouncesArrivalsOldestFirst)
{
    auto source = sourceFor(feedUrl(u"/rss/news.xml?entries=5"_s));
    refresh(source);
    EXPECT_TRUE(source->errorString().isNull()) << source->errorString().toStdString();
    EXPECT_EQ(guids(source->items()),
              (QStringList{u"news-5"_s, u"news-4"_s, u"news-3"_s, u"news-2"_s, u"news-1"_s}));
    EXPECT_TRUE(delegate.arrivals().isEmpty());
    EXPECT_FALSE(source->firstRun());
    EXPECT_EQ(source->name(), u"Feedsim \u201cnews\u201d"_s);

    server.advance(2);
    refresh(source);
    EXPECT_EQ(guids(delegate.arrivals()), (QStringList{u"news-6"_s, u"news-7"_s}));
    EXPECT_EQ(guids(source->items()).mid(0, 3), (QStringList{u"news-7"_s, u"news-6"_s, u"news-5"_s}));
}

TEST_F(RSSDatasourceTest, anUpdatedEntryReplacesTheStoredOneKeepingFlagsAndNumber)
{
    auto source = sourceFor(feedUrl(u"/rss/live.xml?entries=3&updates=1"_s));
    refresh(source);
    const DataItemPtr stored = source->items().at(0);
    ASSERT_EQ(stored->objectForKey(ItemKey::guid).toString().trimmed(), u"live-3"_s);
    stored->setRead(true);
    stored->setObject(41, ItemKey::sequence);

    server.advance(1);
    refresh(source);
    const QList<DataItemPtr> items = source->items();
    const auto replaced = std::find_if(items.cbegin(), items.cend(), [](const DataItemPtr &item) {
        return item->objectForKey(ItemKey::guid).toString().trimmed() == u"live-3"_s;
    });
    ASSERT_NE(replaced, items.cend());
    EXPECT_NE(*replaced, stored);
    EXPECT_NE((*replaced)->title(), stored->title());
    EXPECT_TRUE((*replaced)->read());
    EXPECT_EQ((*replaced)->objectForKey(ItemKey::sequence).toInt(), 41);
    EXPECT_FALSE(guids(delegate.arrivals()).contains(u"live-3"_s));
    EXPECT_TRUE(guids(delegate.arrivals()).contains(u"live-4"_s));
}

TEST_F(RSSDatasourceTest, entriesGoneFromTheFeedLeaveAfterSixFetches)
{
    auto source = sourceFor(feedUrl(u"/rss/short.xml?entries=2"_s));
    refresh(source);
    server.advance(1); // short-1 is no longer listed
    for (int fetch = 1; fetch <= 5; ++fetch)
        refresh(source);
    EXPECT_TRUE(guids(source->items()).contains(u"short-1"_s));
    refresh(source);
    EXPECT_FALSE(guids(source->items()).contains(u"short-1"_s));
}

TEST_F(RSSDatasourceTest, aFailedFetchKeepsTheItemsAndCountsTries)
{
    auto source = sourceFor(feedUrl(u"/rss/stable.xml?entries=3"_s));
    refresh(source);
    const QList<DataItemPtr> before = source->items();

    source->setURL(QString::fromStdString(server.baseUrl()) + u"/bad/status/404?body=xml"_s);
    ASSERT_TRUE(waitFor([&] { return !source->isRunning(); }));
    refresh(source);
    EXPECT_EQ(source->errorString(), u"HTTP 404 Not Found"_s);
    EXPECT_GE(source->failedTries(), 1);
    EXPECT_EQ(source->items(), before);

    source->setURL(QString::fromStdString(server.baseUrl()) + u"/bad/malformed"_s);
    ASSERT_TRUE(waitFor([&] { return !source->isRunning(); }));
    refresh(source);
    EXPECT_TRUE(source->errorString().startsWith(u"XML error at line"_s))
        << source->errorString().toStdString();
    EXPECT_EQ(source->items(), before);
}

// A failing feed stays due through its first three failures; from the fourth on, while the network
// is up, each failure restarts its interval.
TEST_F(RSSDatasourceTest, fromTheFourthFailureWithTheNetworkUpTheIntervalRestarts)
{
    auto failing = sourceFor(QString::fromStdString(server.baseUrl()) + u"/bad/status/404"_s);
    for (int failure = 1; failure <= 3; ++failure) {
        refresh(failing);
        EXPECT_FALSE(failing->lastUpdatedAt().isValid()) << "after failure " << failure;
    }
    environment.online = false;
    refresh(failing);
    EXPECT_EQ(failing->failedTries(), 4);
    EXPECT_FALSE(failing->lastUpdatedAt().isValid()) << "the network was down";

    environment.online = true;
    refresh(failing);
    EXPECT_TRUE(failing->lastUpdatedAt().isValid());
    EXPECT_TRUE(failing->firstRun());
}

// A refresh round and an address change may ask at the same moment: one refresh starts.
TEST_F(RSSDatasourceTest, refreshesAskedForFromManyThreadsAtOnceStartOne)
{
    auto source = sourceFor(feedUrl(u"/rss/contended.xml?entries=3"_s));
    constexpr int rounds = 50;
    constexpr int threads = 8;
    for (int round = 0; round < rounds; ++round) {
        clock.advance(10 * 60 * 1000);
        std::latch start(threads);
        std::vector<std::thread> askers;
        for (int i = 0; i < threads; ++i)
            askers.emplace_back([&] {
                start.arrive_and_wait();
                source->updateData();
            });
        for (std::thread &asker : askers)
            asker.join();
        ASSERT_TRUE(waitFor([&] { return !source->isRunning(); }, 20000));
    }
    EXPECT_EQ(server.hits("/rss/contended.xml"), rounds);
    EXPECT_EQ(environment.pool.runningRefreshes(), 0);
}

namespace {
// Fails while entries are filed, as anything a refresh calls may.
class FailingDelegate : public DatasourceDelegate {
public:
    void itemsDidChangeInDatasource(Datasource *) override {}
    void newItemInDatasource(const DataItemPtr &, Datasource *) override
    {
        throw std::runtime_error("No room for another arrival");
    }
};
} // namespace

TEST_F(RSSDatasourceTest, aRefreshThatThrowsShowsWhyAsItsError)
{
    auto source = sourceFor(feedUrl(u"/rss/throwing.xml?entries=2"_s));
    refresh(source);
    const QDateTime refreshed = source->lastUpdatedAt();
    FailingDelegate failing;
    source->setDelegate(&failing);
    server.advance(1);
    refresh(source);
    source->setDelegate(&delegate);

    EXPECT_EQ(source->errorString(), u"No room for another arrival"_s);
    EXPECT_EQ(source->lastUpdatedAt(), refreshed) << "a failed refresh";
}

struct Capacity {
    int sources;
    int refreshes;
};

void PrintTo(const Capacity &capacity, std::ostream *out)
{
    *out << capacity.sources << " sources";
}

class RSSCapacityTest : public RSSDatasourceTest, public testing::WithParamInterface<Capacity> {};

// The main thread serves no hand-offs here, so no refresh ends while more are asked for.
TEST_P(RSSCapacityTest, refreshesRunAtMostSourcesOver30Plus3AtOnce)
{
    environment.sources = GetParam().sources;
    int started = 0;
    bool refused = false;
    for (int i = 0; i < 8 && !refused; ++i) {
        auto source = sourceFor(feedUrl(u"/rss/capacity%1.xml?entries=1"_s.arg(i)));
        if (source->updateData() && source->isRunning())
            ++started;
        else
            refused = true;
    }
    EXPECT_EQ(started, GetParam().refreshes);
    EXPECT_TRUE(refused);
    EXPECT_EQ(environment.pool.runningRefreshes(), GetParam().refreshes);
}

INSTANTIATE_TEST_SUITE_P(Sources, RSSCapacityTest,
                         testing::Values(Capacity{29, 3}, Capacity{30, 4}, Capacity{60, 5}),
                         [](const auto &capacity) { return std::to_string(capacity.param.sources); });

TEST_F(RSSDatasourceTest, iconsComeFromTheChannelImageOrTheServer)
{
    auto withImage = sourceFor(feedUrl(u"/rss/pictured.xml?entries=1"_s));
    refresh(withImage);
    EXPECT_FALSE(withImage->image().isNull());
    EXPECT_EQ(server.hits("/images/pictured.png"), 1);

    auto withoutImage = sourceFor(feedUrl(u"/rss/plain.xml?entries=1&image=0"_s));
    refresh(withoutImage);
    EXPECT_FALSE(withoutImage->image().isNull());
    EXPECT_EQ(server.hits("/favicon.ico"), 1);
}

TEST_F(RSSDatasourceTest, withoutAnIconAtTheHostTheLastTwoLabelsAreTried)
{
    httplib::Client(server.baseUrl()).Get("/admin/favicon?on=0");
    const QString host =
        u"http://feeds.example.localhost:%1"_s.arg(QUrl(QString::fromStdString(server.baseUrl())).port());
    auto source = sourceFor(host + u"/rss/labels.xml?entries=1&image=0&origin=%1"_s.arg(origin));
    refresh(source);
    EXPECT_TRUE(source->errorString().isNull()) << source->errorString().toStdString();
    EXPECT_EQ(server.hits("/favicon.ico"), 2);
    EXPECT_TRUE(source->image().isNull());
}

TEST_F(RSSDatasourceTest, atomEntriesArriveWithRSSKeys)
{
    auto source = sourceFor(feedUrl(u"/atom/atomic.xml?entries=2"_s));
    refresh(source);
    ASSERT_EQ(source->items().size(), 2);
    const DataItemPtr newest = source->items().first();
    EXPECT_EQ(newest->objectForKey(ItemKey::guid).toString().trimmed(), u"urn:feedsim:atomic:2"_s);
    EXPECT_TRUE(newest->link().endsWith(u"/articles/atomic/2"_s));
    EXPECT_FALSE(newest->title().isEmpty());
    EXPECT_FALSE(newest->description().isEmpty());
    EXPECT_TRUE(newest->objectForKey(ItemKey::published).isValid());
    EXPECT_FALSE(newest->objectForKey(u"id"_s).isValid());
}

TEST_F(RSSDatasourceTest, datesAheadOfNowAreTakenBackByWholeHours)
{
    const qint64 now = origin + 3600 + 600; // the clock when the refresh runs
    const auto url = [&](qint64 ahead) -> QString {
        return QString::fromStdString(server.baseUrl()) +
               u"/rss/ahead%1.xml?entries=1&origin=%2"_s.arg(ahead).arg(now + ahead);
    };
    auto threeHoursAhead = sourceFor(url(3 * 3600 + 5 * 60));
    refresh(threeHoursAhead);
    EXPECT_EQ(threeHoursAhead->items().first()->originalDate(),
              QDateTime::fromSecsSinceEpoch(now - 55 * 60, Qt::UTC));

    clock.setNow(QDateTime::fromSecsSinceEpoch(now - 600, Qt::UTC));
    auto tenMinutesAhead = sourceFor(url(600));
    refresh(tenMinutesAhead);
    EXPECT_EQ(tenMinutesAhead->items().first()->originalDate(), clock.now());
}

// RSS 1.0 lists its items beside the channel; Atom may bind its namespace to a prefix.
TEST_F(RSSDatasourceTest, rss1ItemsAndAtomUnderAPrefixAreRead)
{
    DocumentServer documents;
    auto rdf = sourceFor(serveDocument(
        documents, "/rdf",
        "<?xml version=\"1.0\"?><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
        "xmlns=\"http://purl.org/rss/1.0/\"><channel><title>R</title></channel><item><title>x</"
        "title></item></rdf:RDF>"));
    auto prefixed = sourceFor(serveDocument(
        documents, "/prefixed",
        "<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\"><a:entry><a:title>x</a:title></a:entry></a:feed>"));
    refresh(rdf);
    refresh(prefixed);
    ASSERT_EQ(rdf->items().size(), 1);
    EXPECT_EQ(rdf->items().constFirst()->title(), u"x"_s);
    EXPECT_EQ(rdf->name(), u"R"_s);
    EXPECT_TRUE(rdf->errorString().isNull());
    ASSERT_EQ(prefixed->items().size(), 1);
    EXPECT_EQ(prefixed->items().constFirst()->title(), u"x"_s);
}

TEST_F(RSSDatasourceTest, relativeAtomLinksLeadToTheFeedsOwnHost)
{
    DocumentServer documents;
    const QString address = serveDocument(
        documents, "/blog/atom.xml",
        "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>B</title><entry><id>1</id><title>t</title>"
        "<link href=\"/posts/1\"/></entry><entry><id>2</id><title>u</title><link "
        "href=\"2.html\"/></entry></feed>");
    auto source = sourceFor(address);
    refresh(source);
    ASSERT_EQ(source->items().size(), 2);
    const QUrl feed(address);
    EXPECT_EQ(source->items().at(0)->link(), feed.resolved(QUrl(u"/posts/1"_s)).toString());
    EXPECT_EQ(source->items().at(1)->link(), feed.resolved(QUrl(u"/blog/2.html"_s)).toString());
}

TEST_F(RSSDatasourceTest, feedAddressesOfTheTimelineServiceAreRecognised)
{
    auto timeline = sourceFor(u"http://twitter.com/statuses/user_timeline/vantrel.rss"_s);
    auto other = sourceFor(u"feed://example.org/rss"_s);
    EXPECT_TRUE(timeline->isTwitter());
    EXPECT_FALSE(other->isTwitter());
}

// After the first run, an entry more than four hours older than the newest one shown was found
// late: it is filed in order as history, not announced.
TEST_F(RSSDatasourceTest, anEntryFoundLateIsFiledAsHistory)
{
    DocumentServer documents;
    const QDateTime second = clock.now().addSecs(20 * 60); // when the second refresh runs
    const std::string shown =
        datedItem("A", second.addSecs(-70 * 60)) + datedItem("B", second.addSecs(-130 * 60));
    auto source = sourceFor(serveDocument(documents, "/first", rssWithItems(shown)));
    refresh(source);
    source->setURL(serveDocument(documents, "/second",
                                 rssWithItems(shown + datedItem("C", second.addSecs(-5 * 60)) +
                                              datedItem("late", second.addSecs(-7 * 3600)) +
                                              datedItem("E", second.addSecs(-3 * 3600)))));
    refresh(source);
    ASSERT_EQ(clock.now(), second);
    EXPECT_EQ(guids(delegate.arrivals()), (QStringList{u"E"_s, u"C"_s}));
    EXPECT_EQ(guids(source->items()), (QStringList{u"C"_s, u"E"_s, u"A"_s, u"B"_s, u"late"_s}));
}

// A reset source (the manager resets them after an hour without any successful refresh) files
// what its next refresh finds as history, as on its first run.
TEST_F(RSSDatasourceTest, afterAResetTheNextRefreshFilesHistory)
{
    DocumentServer documents;
    const QDateTime first = clock.now().addSecs(10 * 60);
    const std::string known = datedItem("A", first.addSecs(-3600));
    auto source = sourceFor(serveDocument(documents, "/known", rssWithItems(known)));
    refresh(source);
    source->items().first()->setObject(environment.refreshPool().nextSequence(), ItemKey::sequence);

    source->reset();
    EXPECT_TRUE(source->firstRun());
    EXPECT_FALSE(source->items().first()->objectForKey(ItemKey::sequence).isValid());
    source->setURL(serveDocument(documents, "/later", rssWithItems(known + datedItem("B", first))));
    refresh(source);
    EXPECT_TRUE(delegate.arrivals().isEmpty());
    EXPECT_EQ(guids(source->items()), (QStringList{u"B"_s, u"A"_s}));
    EXPECT_FALSE(source->firstRun());
}

// Feeds are not trusted to keep their texts short: each is cut at its cap, between characters.
TEST_F(RSSDatasourceTest, longTextsAreCutAtTheirCaps)
{
    DocumentServer documents;
    const QString titleStart(TextCaps::title - 1, u't');
    const std::string entry = "<item><title>" + QString(titleStart + u"\U0001F600 and more"_s).toStdString() +
                              "</title><description>" + std::string(size_t(TextCaps::body) + 10, 'd') +
                              "</description><category>" + std::string(size_t(TextCaps::other) + 10, 'c') +
                              "</category><link>http://a.example/long</link></item>";
    const std::string feedTitle(size_t(TextCaps::title) + 10, 'f');
    auto source = sourceFor(serveDocument(documents, "/long",
                                          "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>" +
                                              feedTitle + "</title>" + entry + "</channel></rss>"));
    refresh(source);
    ASSERT_TRUE(source->errorString().isNull()) << source->errorString().toStdString();
    ASSERT_EQ(source->items().size(), 1);
    const DataItemPtr item = source->items().first();
    EXPECT_EQ(item->title(), titleStart);
    EXPECT_EQ(item->description(), QString(TextCaps::body, u'd'));
    EXPECT_EQ(item->objectForKey(u"category"_s).toString(), QString(TextCaps::other, u'c'));
    EXPECT_EQ(source->name(), QString(TextCaps::title, u'f'));
}

TEST_F(RSSDatasourceTest, aDocumentContributesItsFirstTenThousandEntries)
{
    auto source = sourceFor(feedUrl(u"/rss/many.xml?entries=10005&bare=1&image=0"_s));
    refresh(source);
    const QStringList filed = guids(source->items());
    ASSERT_EQ(filed.size(), RSSDatasource::maxEntriesPerDocument);
    EXPECT_EQ(filed.first(), u"many-10005"_s);
    EXPECT_EQ(filed.last(), u"many-6"_s);
    EXPECT_EQ(source->errorString(), u"The feed lists 10,005 entries; only the first 10,000 were read."_s);
    EXPECT_FALSE(source->firstRun());
}
