#include "common/qtprinters.h"
#include "model/managerfixture.h"
#include "model/opml/opmlimporter.h"

using namespace Qt::StringLiterals;

// What the manager and the OPML import accept as the address of a new feed.
class SubscriptionAddressTest : public ManagerFixture {
protected:
    DatasourceManager &makeListeningManager()
    {
        reachability.reachable = false;
        makeManager();
        QObject::connect(manager.get(), &DatasourceManager::noticeRequested,
                         [this](const QString &message) { notices.append(message); });
        return *manager;
    }

    QVariantList storedFeeds() const { return defaults.arrayForKey(SettingsKey::feeds); }

    QStringList notices;
};

TEST_F(SubscriptionAddressTest, anAddressThatCanNeverBeAFeedIsRefusedWithItsReasonAndNothingIsStored)
{
    makeListeningManager();
    for (const QString &address :
         {u"file:///etc/passwd"_s, u"ftp://example.org/rss.xml"_s, u"/etc/passwd"_s}) {
        notices.clear();
        EXPECT_EQ(manager->addFeedWithURL(address), nullptr) << address.toStdString();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices.first().startsWith(u"\"%1\" is "_s.arg(address)))
            << notices.first().toStdString();
    }
    EXPECT_TRUE(manager->datasources().isEmpty());
    EXPECT_TRUE(storedFeeds().isEmpty());

    const auto added = manager->addFeedWithURL(u"127.0.0.1:9/news.xml"_s);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->url(), u"127.0.0.1:9/news.xml"_s) << "kept as typed; fetched as http";
}

TEST_F(SubscriptionAddressTest, aFeedWithoutAnAddressIsNotTheSameFeedAsAnotherAddressThatIsNone)
{
    storeFeed(u"No address"_s, {}, u""_s);
    makeListeningManager();

    EXPECT_EQ(manager->addFeedWithURL(QString()), nullptr);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.first(), u"\"\" is not a feed address."_s);
    EXPECT_NE(manager->addFeedWithURL(u"http://127.0.0.1:9/news.xml"_s), nullptr);
    EXPECT_EQ(manager->datasources().size(), 2);
}

TEST_F(SubscriptionAddressTest, anOpmlImportPassesOverOutlinesThatAreNoFeedAddresses)
{
    makeListeningManager();
    const OpmlImporter::Result result =
        OpmlImporter::importFeeds({{u"file:///etc/passwd"_s, u"Local"_s},
                                   {u"ftp://example.org/rss.xml"_s, u"Old"_s},
                                   {u"/etc/passwd"_s, u"Path"_s},
                                   {u"http://127.0.0.1:9/news.xml"_s, u"News"_s}},
                                  *manager);

    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.skipped, 3);
    EXPECT_TRUE(notices.isEmpty());
    ASSERT_EQ(storedFeeds().size(), 1);
    EXPECT_EQ(storedFeeds().first().toMap().value(u"url"_s).toString(), u"http://127.0.0.1:9/news.xml"_s);
}
