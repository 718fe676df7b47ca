#include "cli/cliapplication.h"

#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/exitcode.h"
#include "cli/feedcommands.h"
#include "cli/feederrorreporter.h"
#include "cli/headlessticker.h"
#include "cli/headlineformatter.h"
#include "cli/profilelock.h"
#include "cli/refreshonce.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "platform/clock.h"
#include "platform/network/reachability.h"
#include "platform/paths.h"
#include "platform/unixsignalwatcher.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <malloc.h>

using namespace Qt::StringLiterals;

int CliApplication::answerWithoutProfile(const CliRequest &request)
{
    if (!request.errorString.isEmpty()) {
        Console::printError(request.errorString);
        Console::printError(u"Try --help for the commands."_s);
        return ExitCode::usage;
    }
    if (request.command == CliRequest::Command::Help) {
        Console::print(CommandLine::helpText().trimmed());
        return ExitCode::success;
    }
    if (request.command == CliRequest::Command::Version) {
        Console::print(QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion());
        return ExitCode::success;
    }
    return -1;
}

int CliApplication::run(const CliRequest &request)
{
    if (const int status = answerWithoutProfile(request); status >= 0)
        return status;

    ProfileLock lock(Paths::configFolder());
    if (request.changesProfile() && !lock.tryLock()) {
        Console::printError(lock.errorString());
        return ExitCode::failure;
    }

    using Command = CliRequest::Command;
    const bool refreshes = request.command == Command::Headless || request.command == Command::RefreshOnce ||
                           request.refreshFirst;
    DatasourceManager::Options options;
    options.startTimers = refreshes;
    options.refreshOnce = request.command == Command::RefreshOnce || request.refreshFirst;
    if (refreshes)
        limitMallocArenas();
    int status = ExitCode::success;
    {
        DatasourceManager manager(m_defaults, Clock::system(), Reachability::standard(), options);
        QObject::connect(&manager, &DatasourceManager::noticeRequested, &manager, &Console::printError);
        status = runWithManager(request, manager);
        // Refreshes still under way (after an interrupt, or started by an import) are cancelled, and
        // what they filed is in the entries saved below.
        manager.close();
        if (refreshes || request.command == Command::AddFeed || request.command == Command::ImportOpml) {
            if (!saveEntries(manager))
                status = ExitCode::failure;
        }
    }
    if (!saveSettings())
        status = ExitCode::failure;
    return status;
}

int CliApplication::runWithManager(const CliRequest &request, DatasourceManager &manager)
{
    using Command = CliRequest::Command;
    FeedCommands commands(manager, [this] { return saveSettings(); });
    switch (request.command) {
    case Command::Headless:
        return runHeadless(manager);
    case Command::RefreshOnce:
        return runRefreshOnce(manager, false);
    case Command::ListFeeds:
        return request.refreshFirst ? runRefreshOnce(manager, true) : commands.listFeeds();
    case Command::AddFeed:
        return commands.addFeed(request.argument);
    case Command::DeleteFeed:
        return commands.deleteFeed(request.argument);
    case Command::EnableFeed:
        return commands.setFeedEnabled(request.argument, true);
    case Command::DisableFeed:
        return commands.setFeedEnabled(request.argument, false);
    case Command::ImportOpml:
        return commands.importOpml(request.argument);
    case Command::ExportOpml:
        return commands.exportOpml(request.argument);
    case Command::None:
    case Command::Help:
    case Command::Version:
        break;
    }
    return ExitCode::usage;
}

int CliApplication::runHeadless(DatasourceManager &manager)
{
    const QList<std::shared_ptr<Datasource>> sources = manager.datasources();
    const auto enabled = std::count_if(sources.cbegin(), sources.cend(),
                                       [](const auto &source) { return source->isEnabled(); });
    Console::printError(
        u"Vantrel is watching %1 feed(s), %2 enabled. Headlines appear as the ticker brings them in; "
        "\"*\" marks keyword matches. Press Ctrl+C to quit."_s.arg(sources.size())
            .arg(enabled));
    if (enabled == 0)
        Console::printError(
            u"No feed is enabled: add one with --add-feed <address> or enable one with --enable-feed."_s);
    if (!manager.internetAvailable())
        Console::printError(u"The network is unreachable now; feeds refresh once it is back."_s);

    FeedErrorReporter errors(manager);
    const HeadlineFormatter formatter(Clock::system());
    HeadlessTicker ticker(manager, Clock::system(),
                          [&formatter](const DataItemPtr &item) { Console::print(formatter.line(*item)); });
    QEventLoop loop;
    UnixSignalWatcher signalWatcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &loop, &QEventLoop::quit);
    ticker.start();
    loop.exec();
    ticker.stop();
    Console::printError(u"Saving and quitting."_s);
    return ExitCode::success;
}

int CliApplication::runRefreshOnce(DatasourceManager &manager, bool listFeeds)
{
    // Arrivals go straight into the list: nothing releases them one by one here.
    manager.setGatherNewItems(false);
    RefreshOnce refresh(manager);
    UnixSignalWatcher signalWatcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &refresh, &RefreshOnce::interrupt);
    if (!refresh.waitForAllFeeds())
        return ExitCode::failure;
    if (listFeeds)
        FeedCommands(manager, [this] { return saveSettings(); }).listFeeds();
    else
        printHeadlines(manager);
    return refresh.reportFailures() ? ExitCode::success : ExitCode::failure;
}

void CliApplication::printHeadlines(DatasourceManager &manager) const
{
    manager.mergeSync();
    const HeadlineFormatter formatter(Clock::system());
    const ViewDataSource::ItemList items = manager.items();
    // Printed in pieces: the whole list as one text (and its UTF-8 copy) would be the largest
    // allocation of the run.
    constexpr qsizetype pieceLength = 32 * 1024;
    QString text;
    for (const DataItemPtr &item : items) {
        if (!text.isEmpty())
            text += u'\n';
        text += formatter.line(*item);
        if (text.size() >= pieceLength) {
            Console::print(text);
            text.clear();
        }
    }
    if (!text.isEmpty())
        Console::print(text);
}

// Every refresh runs on a thread of its own, up to one per thirty feeds at a time, and glibc
// gives each a malloc arena of its own (up to eight per core). The entries a refresh files live
// on in its arena, so the many arenas hold each other's free space: one arena per core keeps
// the peak memory of a refresh of 500 feeds about 4 MB lower at no measurable CPU cost.
void CliApplication::limitMallocArenas()
{
    mallopt(M_ARENA_MAX, std::max(2, QThread::idealThreadCount()));
}

bool CliApplication::saveSettings()
{
    if (m_defaults.synchronize())
        return true;
    // A command saves before it reports success, and the run saves again at its end: one failure
    // is said once.
    const QString error = m_defaults.errorString();
    if (error != m_reportedSettingsError)
        Console::printError(u"Cannot save the settings: %1"_s.arg(error));
    m_reportedSettingsError = error;
    return false;
}

bool CliApplication::saveEntries(DatasourceManager &manager)
{
    if (manager.syncAll())
        return true;
    for (const std::shared_ptr<Datasource> &source : manager.datasources()) {
        if (const QString error = source->saveErrorString(); !error.isEmpty())
            Console::printError(u"%1: %2"_s.arg(FeedErrorReporter::describe(*source), error));
    }
    return false;
}
