#include "cli/feederrorreporter.h"

#include "cli/console.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/notificationcenter.h"
#include "model/source/rssdatasource.h"

using namespace Qt::StringLiterals;

FeedErrorReporter::FeedErrorReporter(DatasourceManager &manager, QObject *parent)
    : QObject(parent), m_manager(manager)
{
    // Queued: reports may come from refresh threads; the source is looked up again on arrival.
    connect(&NotificationCenter::defaultCenter(),
            &NotificationCenter::datasourceConfigurationDidChangeNotification, this,
            &FeedErrorReporter::check, Qt::QueuedConnection);
}

QString FeedErrorReporter::describe(const Datasource &source)
{
    QString name = source.customName();
    if (name.isNull())
        name = source.name();
    const auto *feed = dynamic_cast<const RSSDatasource *>(&source);
    const QString url = feed ? feed->url() : QString();
    if (name.isEmpty())
        return url;
    return url.isEmpty() ? name : u"%1 (%2)"_s.arg(name, url);
}

QString FeedErrorReporter::problem(const Datasource &source, const QString &error)
{
    if (error == source.saveErrorString())
        return u"%1: %2"_s.arg(describe(source), error);
    return u"Cannot refresh %1: %2"_s.arg(describe(source), error);
}

void FeedErrorReporter::check(Datasource *changed)
{
    for (const std::shared_ptr<Datasource> &source : m_manager.datasources()) {
        if (source.get() != changed)
            continue;
        const QString error = source->errorString();
        const QString before = m_reported.value(source->uuid());
        if (error == before)
            return;
        if (!error.isEmpty())
            Console::printError(problem(*source, error));
        else
            Console::printError(u"%1 refreshes again."_s.arg(describe(*source)));
        m_reported.insert(source->uuid(), error);
        return;
    }
}
