#include "cli/refreshonce.h"

#include "cli/console.h"
#include "cli/feederrorreporter.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/rssdatasource.h"

#include <QEventLoop>

using namespace Qt::StringLiterals;

RefreshOnce::RefreshOnce(DatasourceManager &manager, QObject *parent) : QObject(parent), m_manager(manager) {}

bool RefreshOnce::waitForAllFeeds()
{
    if (!m_manager.internetAvailable()) {
        Console::printError(u"The network is unreachable; no feed was refreshed."_s);
        return false;
    }
    QEventLoop loop;
    m_loop = &loop;
    connect(&m_manager, &DatasourceManager::allSourcesRefreshedOnce, &loop, &QEventLoop::quit);
    if (!m_manager.everySourceRefreshedOnce() && !m_interrupted) {
        // The first round now rather than at the round timer's first beat, three seconds on.
        m_manager.update();
        loop.exec();
    }
    m_loop = nullptr;
    if (m_interrupted)
        Console::printError(u"Interrupted before every feed was refreshed."_s);
    return !m_interrupted;
}

void RefreshOnce::interrupt()
{
    m_interrupted = true;
    if (m_loop)
        m_loop->quit();
}

bool RefreshOnce::reportFailures() const
{
    bool allRefreshed = true;
    for (const std::shared_ptr<Datasource> &source : m_manager.datasources()) {
        if (!source->isEnabled())
            continue;
        // Entries that could not be saved are reported when the run saves them at its end.
        const QString error = source->errorString();
        if (error.isEmpty() || error == source->saveErrorString())
            continue;
        const auto *rss = dynamic_cast<const RSSDatasource *>(source.get());
        if (rss && rss->lastRefreshSucceeded()) {
            Console::printError(u"%1: %2"_s.arg(FeedErrorReporter::describe(*source), error.simplified()));
            continue;
        }
        Console::printError(
            u"Cannot refresh %1: %2"_s.arg(FeedErrorReporter::describe(*source), error.simplified()));
        allRefreshed = false;
    }
    return allRefreshed;
}
