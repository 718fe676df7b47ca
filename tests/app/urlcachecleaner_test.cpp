#include "app/urlcachecleaner.h"
#include "common/temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class UrlCacheCleanerTest : public testing::Test {
protected:
    UrlCacheCleanerTest()
    {
        QDir().mkpath(items);
        QFile file(items + u"/FEED.db"_s);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("items");
    }

    bool itemFileIntact() const { return QFileInfo(items + u"/FEED.db"_s).size() == 5; }

    TempHome home;
    const QString caches = home.cacheHome();
    const QString items = caches + u"/org.vantrel.Vantrel"_s;
};

TEST_F(UrlCacheCleanerTest, aProcessNamedLikeTheItemFolderKeepsIt)
{
    UrlCacheCleaner::removeProcessCache(caches, u"org.vantrel.Vantrel"_s, items);
    EXPECT_TRUE(itemFileIntact());
}

TEST_F(UrlCacheCleanerTest, aLinkToTheItemFolderIsRemovedWithoutFollowingIt)
{
    ASSERT_TRUE(QFile::link(items, caches + u"/vantrel"_s));
    UrlCacheCleaner::removeProcessCache(caches, u"vantrel"_s, items);
    EXPECT_FALSE(QFileInfo(caches + u"/vantrel"_s).isSymLink());
    EXPECT_TRUE(itemFileIntact());
}

TEST_F(UrlCacheCleanerTest, aFolderThatHoldsTheItemFolderIsKept)
{
    const QString parentOfItems = caches + u"/vantrel"_s;
    QDir().mkpath(parentOfItems + u"/org.vantrel.Vantrel"_s);
    UrlCacheCleaner::removeProcessCache(caches, u"vantrel"_s, parentOfItems + u"/org.vantrel.Vantrel"_s);
    EXPECT_TRUE(QFileInfo::exists(parentOfItems + u"/org.vantrel.Vantrel"_s));

    UrlCacheCleaner::removeProcessCache(caches, u".."_s, items);
    EXPECT_TRUE(itemFileIntact());
}
