#include "common/qtprinters.h"
#include "feedsimserver.h"
#include "managerfixture.h"

#include <thread>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 feedOrigin = ManagerFixture::now - 3600; // the feeds' step 0
}

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
        return QString::fromStdString(server.baseUrl()) + u"/rss/%1.xml?entries=%2&origin=%3"_s.arg(name).arg(entries).arg(feedOrigin);
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
    EXPECT_LE(RSSDatasource::runningRefreshes(), 3);
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    manager->refreshRound();
    ASSERT_TRUE(waitFor([&] { return noneRunning(); }, 20000));
    EXPECT_EQ(feedHits(5), 5);
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
    EXPECT_EQ(manager->items()->size(), 30);
    for (const auto &source : manager->datasources()) {
        if (!source->isEnabled())
            continue;
        EXPECT_TRUE(waitFor([&] { return ItemFile(source->uuid()).load().size() == 5; })) << "saved after its refresh";
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
    QObject::connect(manager.get(), &DatasourceManager::itemsPublished, manager.get(),
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
    for (const auto &listed : *items)
        EXPECT_TRUE(current.contains(Datasource::of(*listed).get()));
    for (const auto &queued : manager->theNewItems())
        EXPECT_TRUE(current.contains(Datasource::of(*queued).get()));
    EXPECT_EQ(defaults.arrayForKey(SettingsKey::feeds).size(), 6);
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
