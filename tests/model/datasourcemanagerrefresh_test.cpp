#include "common/qtprinters.h"
#include "documentserver.h"
#include "feedsimserver.h"
#include "managerfixture.h"

#include <chrono>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 feedOrigin = ManagerFixture::now - 3600; // the feeds' step 0

// Waits without running the event loop, so that refreshes handing work to this thread keep waiting.
template <typename Condition> bool waitWithoutServingHandOffs(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
} // namespace

// Managers whose feeds are served by feedsim on loopback.
class RefreshTest : public ManagerFixture {
protected:
    RefreshTest() { server.start(); }
    ~RefreshTest() override
    {
        manager.reset();
        server.stop();
    }

    QString feedUrl(const QString &name, int entries = 5) const
    {
        return QString::fromStdString(server.baseUrl()) +
               u"/rss/%1.xml?entries=%2&origin=%3"_s.arg(name).arg(entries).arg(feedOrigin);
    }

    void subscribe(int feeds, int entries = 5)
    {
        for (int i = 0; i < feeds; ++i)
            storeFeed(QString(), {}, feedUrl(u"feed%1"_s.arg(i), entries));
    }

    // Shorter waits and no pauses between elements, so tests stay fast.
    void speedUpSources()
    {
        RSSDatasource::LoadOptions options;
        options.feed.idleTimeout = std::chrono::seconds(5);
        options.icon.idleTimeout = std::chrono::seconds(5);
        options.parser.elementPause = std::chrono::nanoseconds(0);
        for (const auto &source : manager->datasources())
            std::static_pointer_cast<RSSDatasource>(source)->setLoadOptions(options);
    }

    bool noneRunning() const
    {
        const auto sources = manager->datasources();
        return std::none_of(sources.cbegin(), sources.cend(), [](const auto &source) {
            return std::static_pointer_cast<RSSDatasource>(source)->isRunning();
        });
    }

    int feedHits(int feeds) const
    {
        int hits = 0;
        for (int i = 0; i < feeds; ++i)
            hits += server.hits("/rss/feed" + std::to_string(i) + ".xml");
        return hits;
    }

    FeedSimServer server;
};

TEST_F(RefreshTest, withoutARouteToTheProbeHostNoSourceIsAsked)
{
    subscribe(3);
    reachability.reachable = false;
    makeManager();
    manager->refreshRound();
    EXPECT_TRUE(noneRunning());
    EXPECT_EQ(feedHits(3), 0);
}

TEST_F(RefreshTest, aRoundStartsNoMoreRefreshesThanTheCapacity)
{
    subscribe(5);
    makeManager();
    speedUpSources();
    manager->refreshRound();
    EXPECT_LE(manager->refreshPool().runningRefreshes(), 3);
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    manager->refreshRound();
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    EXPECT_EQ(feedHits(5), 5);
}

// Sources never refreshed come first, then the one refreshed longest ago, until no slot is left.
TEST_F(RefreshTest, aRoundRefreshesTheLeastRecentlyRefreshedFirst)
{
    subscribe(6); // room for 6 / 30 + 3 = 3 refreshes
    makeManager();
    speedUpSources();
    for (const int index : {3, 0, 4, 1, 2}) {
        clock.advance(60 * 1000);
        // The first call spreads the time over an interval; the second sets it.
        source(index)->setLastUpdateDate(false);
        source(index)->setLastUpdateDate(false);
    }
    clock.advance(10 * 60 * 1000);
    // Run here, where the refreshes hand their results: none ends before the round does.
    manager->refreshRound();
    EXPECT_EQ(manager->refreshPool().runningRefreshes(), 3);
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));

    std::vector<int> refreshed;
    for (int i = 0; i < 6; ++i)
        if (server.hits("/rss/feed" + std::to_string(i) + ".xml") == 1)
            refreshed.push_back(i);
    EXPECT_EQ(refreshed, (std::vector<int>{0, 3, 5}));
}

TEST_F(RefreshTest, refreshOnceRefreshesEachEnabledSourceOnceAndSaysSo)
{
    subscribe(7);
    auto options = quietOptions();
    options.refreshOnce = true;
    makeManager(options);
    speedUpSources();
    source(6)->setEnabled(false);
    int done = 0;
    QObject::connect(manager.get(), &DatasourceManager::allSourcesRefreshedOnce, [&] { ++done; });

    manager->update();
    ASSERT_TRUE(waitFor([&] { return done == 1; }, 20000));
    EXPECT_TRUE(manager->everySourceRefreshedOnce());
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    EXPECT_EQ(feedHits(7), 6);
    manager->mergeSync();
    EXPECT_EQ(manager->items().size(), 30);
    for (const auto &source : manager->datasources()) {
        if (!source->isEnabled())
            continue;
        EXPECT_TRUE(waitFor([&] { return ItemFile(source->uuid()).load().size() == 5; }))
            << "saved after its refresh";
    }
}

TEST_F(RefreshTest, anHourWithoutSuccessFilesTheNextEntriesAsHistory)
{
    subscribe(1);
    makeManager();
    speedUpSources();
    manager->refreshRound();
    ASSERT_TRUE(waitFor([&] { return noneRunning() && !source(0)->firstRun(); }, 20000));

    clock.advance(2 * 3600 * 1000);
    manager->refreshRound();
    EXPECT_TRUE(source(0)->firstRun());
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
}

TEST_F(RefreshTest, aSlowMergeNeverOverwritesALaterOne)
{
    subscribe(2);
    reachability.reachable = false;
    makeManager();
    source(0)->addItem(item(u"apple"_s, 1));
    source(1)->addItem(item(u"banana"_s, 2));
    std::mutex lock;
    std::vector<quint64> published;
    QObject::connect(
        manager.get(), &DatasourceManager::itemsPublished, manager.get(),
        [&](quint64 generation) {
            std::lock_guard guard(lock);
            published.push_back(generation);
        },
        Qt::DirectConnection);

    {
        // The first merge waits for this source while later ones are requested.
        std::lock_guard held(source(1)->lock());
        manager->setFilter(u"apple"_s);
        manager->setFilter(u"banana"_s);
        manager->setFilter(u"nothing"_s);
        manager->setFilter(u"ban"_s);
        EXPECT_EQ(manager->publishedGeneration(), 0u);
    }
    manager->mergeSync();

    EXPECT_EQ(titles(), QStringList{u"banana"_s});
    std::lock_guard guard(lock);
    EXPECT_EQ(published, (std::vector<quint64>{1, 2, 3, 4, 5}));
}

// Refreshes file entries on their threads while the main thread merges, adds, deletes and
// releases arrivals: no deadlock, and the list only ever holds entries of current sources.
TEST_F(RefreshTest, feedsComeAndGoWhileRefreshesRun)
{
    subscribe(6, 20);
    makeManager();
    speedUpSources();
    manager->refreshRound();
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    server.advance(3); // every feed now has new entries to announce

    std::atomic<bool> stop = false;
    std::thread merger([&] {
        while (!stop)
            manager->mergeSync();
    });
    for (int round = 0; round < 6; ++round) {
        clock.advance(10 * 60 * 1000);
        manager->refreshRound();
        const auto added = manager->addFeedWithURL(feedUrl(u"added%1"_s.arg(round), 10));
        ASSERT_NE(added, nullptr);
        manager->deleteDatasource(source(0).get());
        while (manager->hasNew())
            manager->removeNew();
        manager->dirtyTimer();
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 30000));
    stop = true;
    merger.join();
    manager->mergeSync();

    const auto sources = manager->datasources();
    EXPECT_EQ(sources.size(), 6);
    QSet<const Datasource *> current;
    for (const auto &source : sources)
        current.insert(source.get());
    const ViewDataSource::ItemList items = manager->items();
    for (const auto &listed : items)
        EXPECT_TRUE(current.contains(Datasource::of(*listed).get()));
    for (const auto &queued : manager->theNewItems())
        EXPECT_TRUE(current.contains(Datasource::of(*queued).get()));
    EXPECT_EQ(defaults.arrayForKey(SettingsKey::feeds).size(), 6);
}

// A round sees a new feed only with its address: it is listed once the address is stored.
TEST_F(RefreshTest, aNewFeedIsListedOnlyOnceItsAddressIsStored)
{
    makeManager();
    const QString address = feedUrl(u"added"_s);
    std::optional<qsizetype> listedWhenStored;
    const auto observation = defaults.observe(SettingsKey::feeds, nullptr, [&](const QVariant &feeds) {
        for (const QVariant &feed : feeds.toList())
            if (feed.toMap().value(u"url"_s).toString() == address && !listedWhenStored)
                listedWhenStored = manager->datasources().size();
    });
    const auto added = manager->addFeedWithURL(address);
    defaults.removeObservation(observation);

    ASSERT_NE(added, nullptr);
    EXPECT_EQ(listedWhenStored, 0);
    EXPECT_EQ(manager->datasources(), QList<std::shared_ptr<Datasource>>{added});
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    EXPECT_EQ(server.hits("/rss/added.xml"), 1);
    EXPECT_EQ(added->items().size(), 5);
}

// Closing cancels a download that would take an hour, serves the hand-offs of a refresh that waits
// for the main thread meanwhile, and saves what that refresh filed.
TEST_F(RefreshTest, closingCancelsDownloadsAndSavesWhatWasFiled)
{
    DocumentServer documents;
    // Without a feed title, the refresh's first hand-off comes after its entries are filed.
    const std::string untitled =
        "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
        "<item><title>a</title><link>http://a.example/1</link></item>"
        "<item><title>b</title><link>http://a.example/2</link></item></channel></rss>";
    const QString filed =
        storeFeed(QString(), {}, QString::fromStdString(documents.serve("/untitled.xml", untitled)));
    storeFeed(QString(), {}, QString::fromStdString(server.baseUrl()) + u"/bad/drip?interval=2000"_s);
    makeManager();
    RSSDatasource::LoadOptions patient; // only a cancel ends the drip within the test's time
    patient.feed.idleTimeout = std::chrono::minutes(1);
    patient.feed.deadline = std::chrono::minutes(1);
    patient.parser.elementPause = std::chrono::nanoseconds(0);
    for (const auto &source : manager->datasources())
        std::static_pointer_cast<RSSDatasource>(source)->setLoadOptions(patient);
    const auto dripping = std::static_pointer_cast<RSSDatasource>(source(1));

    manager->refreshRound();
    ASSERT_TRUE(waitWithoutServingHandOffs(
        [&] { return server.hits("/bad/drip") == 1 && source(0)->items().size() == 2; }));
    manager.reset();

    EXPECT_EQ(dripping->errorString(), u"Cancelled"_s);
    EXPECT_FALSE(dripping->isRunning());
    EXPECT_EQ(ItemFile(filed).load().size(), 2);
}

TEST_F(RefreshTest, closingWaitsForTheRefreshOfAFeedDeletedWhileItRuns)
{
    storeFeed(QString(), {}, QString::fromStdString(server.baseUrl()) + u"/bad/slow?delay=400"_s);
    makeManager();
    speedUpSources();
    auto slow = std::static_pointer_cast<RSSDatasource>(source(0));
    manager->refreshRound();
    ASSERT_TRUE(waitFor([&] { return slow->isRunning(); }, 5000));

    const QPointer<Datasource> deleted = slow.get();
    manager->deleteDatasource(slow.get());
    slow.reset();
    manager.reset();
    EXPECT_TRUE(deleted.isNull()) << "the refresh, which uses the manager, ended before it";
}
