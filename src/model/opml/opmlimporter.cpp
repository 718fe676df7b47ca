#include "model/opml/opmlimporter.h"

#include "model/manager/datasourcemanager.h"
#include "model/opml/opmlreader.h"
#include "model/parse/feedstrings.h"
#include "model/source/rssdatasource.h"

OpmlImporter::Result OpmlImporter::importFile(const QString &path, DatasourceManager &manager)
{
    const OpmlReadResult read = OpmlReader::readFile(path);
    if (!read.ok()) {
        Result result;
        result.errorString = read.errorString;
        return result;
    }
    Result result = importFeeds(read.feeds, manager);
    result.skipped += read.skipped;
    return result;
}

OpmlImporter::Result OpmlImporter::importFeeds(const QList<OpmlFeed> &feeds, DatasourceManager &manager)
{
    Result result;
    for (const OpmlFeed &feed : feeds) {
        if (!FeedStrings::feedAddressRefusal(feed.url).isNull()) {
            ++result.skipped;
            continue;
        }
        const QUrl address = FeedStrings::feedURL(feed.url);
        // The manager would report a duplicate to the user; an import passes over it quietly.
        if (isSubscribed(feed.url, manager)) {
            ++result.duplicates;
            continue;
        }
        const std::shared_ptr<RSSDatasource> source = manager.addFeedWithURL(address.toString());
        if (!source) {
            ++result.duplicates;
            continue;
        }
        ++result.added;
        if (!feed.title.isNull())
            source->setCustomName(feed.title);
    }
    return result;
}

bool OpmlImporter::isSubscribed(const QString &address, const DatasourceManager &manager)
{
    std::lock_guard guard(manager.sourcesLock());
    for (const std::shared_ptr<Datasource> &source : manager.datasources()) {
        const auto *feed = dynamic_cast<const RSSDatasource *>(source.get());
        if (feed && FeedStrings::sameFeedAddress(feed->url(), address))
            return true;
    }
    return false;
}
