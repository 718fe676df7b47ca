#include "common/qtprinters.h"
#include "managerfixture.h"
#include "model/source/notificationcenter.h"
#include "model/stars/starmanager.h"

using namespace Qt::StringLiterals;

class StarManagerTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        reachability.reachable = false;
        storeFeed(u"Science"_s, {item(u"Comet seen"_s, 1, u"bright"_s), item(u"Probe lands"_s, 2)},
                  u"http://127.0.0.1:9/science.xml"_s);
        storeFeed(u"Kitchen"_s, {item(u"Crème brûlée"_s, 3)}, u"http://127.0.0.1:9/kitchen.xml"_s);
        makeManager();
        stars = std::make_unique<StarManager>(defaults, manager.get());
    }

    void TearDown() override { stars.reset(); }

    QStringList starredTitles() const
    {
        QStringList list;
        const ViewDataSource::ItemList items = stars->items();
        for (const auto &starred : items)
            list.append(starred->title());
        return list;
    }

    std::unique_ptr<StarManager> stars;
};

TEST_F(StarManagerTest, starsSurviveARestartNewestFirstAndStillRecogniseTheirEntries)
{
    stars->starItem(entry(0, u"Probe lands"_s));
    stars->starItem(entry(1, u"Crème brûlée"_s));
    entry(0, u"Probe lands"_s)->setObject(7, ItemKey::sequence); // arrival numbers come and go
    ASSERT_TRUE(defaults.synchronize());

    UserDefaults reopened(defaults.filePath().section(u'/', 0, -2));
    StarManager restarted(reopened, manager.get());
    QStringList titles;
    const ViewDataSource::ItemList items = restarted.items();
    for (const auto &starred : items)
        titles.append(starred->title());
    EXPECT_EQ(titles, (QStringList{u"Crème brûlée"_s, u"Probe lands"_s}));
    EXPECT_TRUE(restarted.isStarred(*entry(0, u"Probe lands"_s)));
    EXPECT_FALSE(restarted.isStarred(*entry(0, u"Comet seen"_s)));
    EXPECT_EQ(restarted.items().first()->name(), u"Kitchen"_s);
}

TEST_F(StarManagerTest, starringTwiceKeepsOneRecordAndNotifiesEachTime)
{
    int changed = 0;
    const auto connection =
        QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notificationStarChanged,
                         [&] { ++changed; });
    const auto comet = entry(0, u"Comet seen"_s);
    stars->starItem(comet);
    stars->starItem(comet);
    EXPECT_EQ(defaults.arrayForKey(SettingsKey::starred).size(), 1);
    EXPECT_EQ(changed, 2);
    EXPECT_TRUE(stars->isStarred(*comet));
    EXPECT_EQ(defaults.arrayForKey(SettingsKey::starred).first().toMap().value(u"DataSourceUrl"_s).toString(),
              u"http://127.0.0.1:9/science.xml"_s);

    stars->unstarItem(comet);
    stars->unstarItem(comet);
    EXPECT_FALSE(stars->isStarred(*comet));
    EXPECT_TRUE(starredTitles().isEmpty());
    EXPECT_EQ(changed, 4);
    QObject::disconnect(connection);
}

TEST_F(StarManagerTest, filterMatchesTitleDescriptionAndFeedNameAndBlankShowsAll)
{
    stars->starItem(entry(0, u"Comet seen"_s));
    stars->starItem(entry(0, u"Probe lands"_s));
    stars->starItem(entry(1, u"Crème brûlée"_s));
    stars->setNeedsRefresh(false);

    stars->setFilter(u"SCIENCE"_s);
    EXPECT_EQ(starredTitles(), (QStringList{u"Probe lands"_s, u"Comet seen"_s}));
    EXPECT_TRUE(stars->needsRefresh());
    stars->setFilter(u"creme"_s);
    EXPECT_EQ(starredTitles(), QStringList{u"Crème brûlée"_s});
    stars->setFilter(u"Bright"_s);
    EXPECT_EQ(starredTitles(), QStringList{u"Comet seen"_s});

    stars->setFilter(u"   "_s);
    EXPECT_FALSE(stars->isFiltered());
    EXPECT_EQ(starredTitles().size(), 3);
}

TEST_F(StarManagerTest, removeAllEmptiesTheListAndNotifiesOnce)
{
    QList<StarManager *> removed;
    const auto connection = QObject::connect(&NotificationCenter::defaultCenter(),
                                             &NotificationCenter::starManagerItemsRemovedNotification,
                                             [&](StarManager *sender) { removed.append(sender); });
    stars->starItem(entry(0, u"Comet seen"_s));
    ASSERT_EQ(starredTitles().size(), 1);
    stars->removeAll();
    EXPECT_TRUE(starredTitles().isEmpty());
    EXPECT_TRUE(defaults.arrayForKey(SettingsKey::starred).isEmpty());
    QObject::disconnect(connection);
    EXPECT_EQ(removed, QList<StarManager *>{stars.get()});
}

TEST_F(StarManagerTest, neverHasArrivalsAndAStarOfADeletedFeedKeepsItsName)
{
    stars->starItem(entry(1, u"Crème brûlée"_s));
    EXPECT_FALSE(stars->hasNew());
    EXPECT_TRUE(stars->theNewItems().isEmpty());
    EXPECT_EQ(stars->theNewItem(), nullptr);

    const ViewDataSource::ItemList held = stars->items();
    manager->deleteDatasource(source(1).get());
    stars->starItem(entry(0, u"Comet seen"_s)); // drops the list the ticker may still hold
    EXPECT_EQ(held.first()->name(), u"Kitchen"_s);

    StarManager fresh(defaults, manager.get());
    const auto kitchen = fresh.items().toList().last();
    EXPECT_EQ(kitchen->datasource(), nullptr);
    EXPECT_EQ(kitchen->name(), u"Kitchen"_s);
}
