#include "common/qtprinters.h"
#include "model/managerfixture.h"
#include "model/opml/opmlexporter.h"
#include "model/opml/opmlimporter.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// (url, custom name) of every source, in order.
QList<QStringList> subscriptions(const DatasourceManager &manager)
{
    QList<QStringList> list;
    for (const auto &source : manager.datasources())
        list.append({std::dynamic_pointer_cast<RSSDatasource>(source)->url(), source->customName()});
    return list;
}

} // namespace

class OpmlImporterTest : public ManagerFixture {
protected:
    QString write(const QByteArray &document)
    {
        const QString path = QDir(home.path()).filePath(u"import.opml"_s);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(document);
        return path;
    }

    int notices = 0;
};

TEST_F(OpmlImporterTest, exportThenImportIntoAnEmptyListRecreatesEveryFeedWithItsName)
{
    storeFeed(u"Alpha title"_s, {}, u"http://127.0.0.1:9/alpha.xml"_s);
    storeFeed(u"Beta title"_s, {}, u"feed://127.0.0.1:9/beta.xml"_s);
    storeFeed(QString(), {}, u"https://127.0.0.1:9/gamma.xml"_s);
    DatasourceManager &feeds = makeManager();
    source(0)->setCustomName(u"Alpha"_s);
    const QString path = QDir(home.path()).filePath(u"subscriptions.xml"_s);
    ASSERT_TRUE(OpmlExporter::exportToFile(feeds, path).isNull());

    for (const auto &existing : feeds.datasources())
        feeds.deleteDatasource(existing.get());
    ASSERT_TRUE(feeds.datasources().isEmpty());
    const OpmlImporter::Result result = OpmlImporter::importFile(path, feeds);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.added, 3);
    // A feed without a custom name comes back named after its title; "feed:" addresses as http.
    EXPECT_EQ(subscriptions(feeds), (QList<QStringList>{{u"http://127.0.0.1:9/alpha.xml"_s, u"Alpha"_s},
                                                        {u"http://127.0.0.1:9/beta.xml"_s, u"Beta title"_s},
                                                        {u"https://127.0.0.1:9/gamma.xml"_s, QString()}}));
}

TEST_F(OpmlImporterTest, passesOverSubscribedFeedsQuietlyAndKeepsTheRest)
{
    storeFeed(u"Alpha"_s, {}, u"http://127.0.0.1:9/alpha.xml"_s);
    DatasourceManager &feeds = makeManager();
    QObject::connect(&feeds, &DatasourceManager::noticeRequested, [this] { ++notices; });

    const OpmlImporter::Result result = OpmlImporter::importFile(write(R"X(<opml><body>
        <outline type="rss" title="Same, other scheme" xmlUrl="feed://127.0.0.1:9/alpha.xml"/>
        <outline type="rss" title="New" xmlUrl="http://127.0.0.1:9/new.xml"/>
        <outline type="rss" title="New again" xmlUrl="http://127.0.0.1:9/new.xml"/>
        <outline type="link" title="Web page" xmlUrl="http://127.0.0.1:9/page.html"/>
        </body></opml>)X"),
                                                                 feeds);
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.duplicates, 2);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(subscriptions(feeds).value(1), (QStringList{u"http://127.0.0.1:9/new.xml"_s, u"New"_s}));

    const OpmlImporter::Result broken = OpmlImporter::importFile(write("<opml><body><outline"), feeds);
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(feeds.datasources().size(), 2);
}
