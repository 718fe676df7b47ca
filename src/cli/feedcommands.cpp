#include "cli/feedcommands.h"

#include "cli/console.h"
#include "cli/exitcode.h"
#include "cli/feederrorreporter.h"
#include "model/manager/datasourcemanager.h"
#include "model/opml/opmlexporter.h"
#include "model/opml/opmlimporter.h"
#include "model/parse/feedstrings.h"
#include "model/source/rssdatasource.h"

#include <QCoreApplication>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

QString urlOf(const Datasource &source)
{
    const auto *feed = dynamic_cast<const RSSDatasource *>(&source);
    return feed ? feed->url() : QString();
}

QString displayName(const Datasource &source)
{
    const QString custom = source.customName();
    return custom.isNull() ? source.name() : custom;
}

QString oneLine(const QString &text)
{
    return text.simplified();
}

} // namespace

int FeedCommands::listFeeds()
{
    const QList<std::shared_ptr<Datasource>> sources = m_manager.datasources();
    for (qsizetype i = 0; i < sources.size(); ++i) {
        Datasource &source = *sources[i];
        Console::print(QStringList{QString::number(i + 1), source.isEnabled() ? u"enabled"_s : u"disabled"_s,
                                   QString::number(source.numberOfItems()), oneLine(displayName(source)),
                                   oneLine(urlOf(source)), statusText(source)}
                           .join(u'\t'));
    }
    return ExitCode::success;
}

QString FeedCommands::statusText(const Datasource &source)
{
    if (const QString error = source.errorString(); !error.isEmpty())
        return u"error: "_s + oneLine(error);
    const QDateTime updated = source.lastUpdatedAt();
    if (!updated.isValid())
        return u"never updated"_s;
    return u"updated "_s + updated.toLocalTime().toString(Qt::ISODate);
}

int FeedCommands::addFeed(const QString &address)
{
    // A refused address and a duplicate are reported by the manager's notice.
    const std::shared_ptr<RSSDatasource> source = m_manager.addFeedWithURL(address);
    if (!source)
        return ExitCode::failure;
    waitForRefresh(*source);
    if (!m_saveSettings())
        return ExitCode::failure;
    Console::print(u"Subscribed to %1."_s.arg(FeedErrorReporter::describe(*source)));
    if (const QString error = source->errorString(); !error.isEmpty()) {
        if (source->lastRefreshSucceeded())
            Console::printError(oneLine(error));
        else
            Console::printError(u"The feed cannot be read yet: %1"_s.arg(oneLine(error)));
    }
    return ExitCode::success;
}

void FeedCommands::waitForRefresh(const Datasource &source) const
{
    const auto *feed = dynamic_cast<const RSSDatasource *>(&source);
    // The refresh hands its results to this thread, so the event loop must run meanwhile.
    while (feed && feed->isRunning()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

int FeedCommands::deleteFeed(const QString &feed)
{
    const std::shared_ptr<Datasource> source = findFeed(feed);
    if (!source)
        return ExitCode::failure;
    m_manager.deleteDatasource(source.get());
    if (!m_saveSettings())
        return ExitCode::failure;
    Console::print(u"Unsubscribed from %1."_s.arg(FeedErrorReporter::describe(*source)));
    return ExitCode::success;
}

int FeedCommands::setFeedEnabled(const QString &feed, bool enabled)
{
    const std::shared_ptr<Datasource> source = findFeed(feed);
    if (!source)
        return ExitCode::failure;
    source->setEnabled(enabled);
    if (!m_saveSettings())
        return ExitCode::failure;
    Console::print(
        (enabled ? u"Enabled %1."_s : u"Disabled %1."_s).arg(FeedErrorReporter::describe(*source)));
    return ExitCode::success;
}

int FeedCommands::importOpml(const QString &path)
{
    const OpmlImporter::Result result = OpmlImporter::importFile(path, m_manager);
    if (!result.ok()) {
        Console::printError(result.errorString);
        return ExitCode::failure;
    }
    if (!m_saveSettings())
        return ExitCode::failure;
    Console::print(u"Imported %1 feed(s) from %2; %3 already subscribed, %4 outline(s) passed over."_s.arg(
        QString::number(result.added), path, QString::number(result.duplicates),
        QString::number(result.skipped)));
    return ExitCode::success;
}

int FeedCommands::exportOpml(const QString &path)
{
    if (path == u"-"_s) {
        const QByteArray document = OpmlExporter::document(m_manager);
        std::fwrite(document.constData(), 1, size_t(document.size()), stdout);
        return std::fflush(stdout) == 0 ? ExitCode::success : ExitCode::failure;
    }
    if (const QString error = OpmlExporter::exportToFile(m_manager, path); !error.isNull()) {
        Console::printError(error);
        return ExitCode::failure;
    }
    Console::print(
        u"Exported %1 feed(s) to %2."_s.arg(QString::number(m_manager.datasources().size()), path));
    return ExitCode::success;
}

std::shared_ptr<Datasource> FeedCommands::findFeed(const QString &feed) const
{
    const QList<std::shared_ptr<Datasource>> sources = m_manager.datasources();
    const QString wanted = feed.trimmed();
    bool isNumber = false;
    const qsizetype number = wanted.toLongLong(&isNumber);
    if (isNumber) {
        if (number >= 1 && number <= sources.size())
            return sources[number - 1];
        Console::printError(u"There is no feed number %1; --list-feeds shows the numbers."_s.arg(wanted));
        return nullptr;
    }
    for (const std::shared_ptr<Datasource> &source : sources) {
        if (source->uuid() == wanted || urlOf(*source) == wanted)
            return source;
    }
    QList<std::shared_ptr<Datasource>> matches;
    for (const std::shared_ptr<Datasource> &source : sources) {
        if (FeedStrings::sameFeedAddress(urlOf(*source), wanted))
            matches.append(source);
    }
    if (matches.size() == 1)
        return matches.first();
    if (matches.isEmpty())
        Console::printError(u"No feed matches \"%1\"; --list-feeds shows the feeds."_s.arg(wanted));
    else
        Console::printError(u"Several feeds match \"%1\"; give its number from --list-feeds."_s.arg(wanted));
    return nullptr;
}
