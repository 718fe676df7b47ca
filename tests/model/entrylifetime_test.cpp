#include "common/qtprinters.h"
#include "feedsimserver.h"
#include "managerfixture.h"
#include "model/stars/starmanager.h"

using namespace Qt::StringLiterals;

// Rows, the preview, notifications and stars hold entries that outlive their feed: once the feed
// is deleted and its source destroyed, such an entry reads as having no source.
class EntryLifetimeTest : public ManagerFixture {
protected:
    EntryLifetimeTest() { server.start(); }
    ~EntryLifetimeTest() override
    {
        stars.reset();
        manager.reset();
        server.stop();
    }

    // A feed whose entries are all revised at every step, so that each refresh replaces them.
    void subscribeToRevisedFeed()
    {
        storeFeed(QString(), {},
                  QString::fromStdString(server.baseUrl()) +
                      u"/rss/revised.xml?entries=3&updates=1&origin=%1"_s.arg(now - 3600));
        makeManager();
        RSSDatasource::LoadOptions options;
        options.parser.elementPause = std::chrono::nanoseconds(0);
        feed()->setLoadOptions(options);
        stars = std::make_unique<StarManager>(defaults, manager.get());
    }

    std::shared_ptr<RSSDatasource> feed() const { return std::static_pointer_cast<RSSDatasource>(source(0)); }

    void refresh()
    {
        clock.advance(10 * 60 * 1000);
        manager->refreshRound();
        ASSERT_TRUE(waitFor([&] { return !feed()->isRunning() && !feed()->firstRun(); }, 20000));
        manager->mergeSync();
    }

    // Deletes the feed and waits until nothing keeps its source alive.
    void deleteFeed()
    {
        const std::weak_ptr<Datasource> deleted = source(0);
        manager->deleteDatasource(source(0).get());
        manager->mergeSync();
        ASSERT_TRUE(waitFor([&] { return deleted.expired(); })) << "the source is destroyed";
    }

    static void expectNoSource(const DataItem &entry, const QString &ownName)
    {
        EXPECT_EQ(entry.valueForKey(ItemKey::datasourceName), QVariant(u""_s));
        EXPECT_FALSE(entry.valueForKey(ItemKey::datasource).isValid());
        EXPECT_EQ(entry.datasource(), nullptr);
        EXPECT_EQ(entry.name(), ownName);
        EXPECT_EQ(entry.dictionary().value(u"name"_s).toString(), ownName);
    }

    FeedSimServer server;
    std::unique_ptr<StarManager> stars;
};

TEST_F(EntryLifetimeTest, publishedEntriesThatLeftTheirFeedReadAsHavingNoSourceOnceItIsDeleted)
{
    subscribeToRevisedFeed();
    refresh();
    const ViewDataSource::ItemList shown = manager->items();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown.first()->name(), u"Feedsim \u201crevised\u201d"_s);

    server.advance(1);
    refresh(); // the two entries still listed are replaced by their revisions
    const QList<DataItemPtr> kept = source(0)->items();
    EXPECT_EQ(
        std::count_if(shown.begin(), shown.end(), [&](const auto &entry) { return !kept.contains(entry); }),
        2);
    const ViewDataSource::ItemList revised = manager->items();

    deleteFeed();
    for (const ViewDataSource::ItemList &list : {shown, revised}) {
        for (const DataItemPtr &entry : list) {
            expectNoSource(*entry, QString());
            EXPECT_FALSE(StarManager::recordForItem(*entry).contains(u"DataSourceUrl"_s));
        }
    }
}

TEST_F(EntryLifetimeTest, starredEntriesLetTheirFeedGoAndKeepTheNameTheyWereStarredWith)
{
    subscribeToRevisedFeed();
    refresh();
    stars->starItem(manager->items().first());
    const ViewDataSource::ItemList starred = stars->items();
    ASSERT_EQ(starred.size(), 1);
    EXPECT_EQ(starred.first()->valueForKey(ItemKey::datasourceName),
              QVariant(u"Feedsim \u201crevised\u201d"_s));

    deleteFeed();
    expectNoSource(*starred.first(), u"Feedsim \u201crevised\u201d"_s);
    EXPECT_TRUE(stars->isStarred(*starred.first()));
}
