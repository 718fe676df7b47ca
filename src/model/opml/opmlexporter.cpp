#include "model/opml/opmlexporter.h"

#include "model/manager/datasourcemanager.h"
#include "model/opml/opmlwriter.h"
#include "model/source/rssdatasource.h"

QList<OpmlFeed> OpmlExporter::feedsOf(const DatasourceManager &manager)
{
    QList<OpmlFeed> feeds;
    std::lock_guard guard(manager.sourcesLock());
    for (const std::shared_ptr<Datasource> &source : manager.datasources()) {
        const auto *feed = dynamic_cast<const RSSDatasource *>(source.get());
        QString name = source->customName();
        if (name.isNull())
            name = source->name();
        feeds.append(OpmlFeed{feed ? feed->url() : QString(), name});
    }
    return feeds;
}

QByteArray OpmlExporter::document(const DatasourceManager &manager)
{
    return OpmlWriter::document(feedsOf(manager));
}

QString OpmlExporter::exportToFile(const DatasourceManager &manager, const QString &path)
{
    return OpmlWriter::writeFile(feedsOf(manager), path);
}
