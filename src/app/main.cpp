#include "app/startup.h"
#include "buildinfo.h"
#include "cli/cliapplication.h"
#include "cli/commandline.h"
#include "platform/paths.h"
#include "platform/unixsignalwatcher.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QTextStream>
#include <csignal>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(buildinfo::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));

    const CliRequest request = CommandLine::parse(QCoreApplication::arguments());
    if (const int status = CliApplication::answerWithoutProfile(request); status >= 0)
        return status;

    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    Startup::prepareUserDefaults(defaults, {});
    if (request.command != CliRequest::Command::None)
        return CliApplication(defaults).run(request);

    QTextStream out(stdout);
    out << "Settings: " << defaults.filePath() << '\n'
        << "Caches:   " << Paths::cachesFolder() << '\n'
        << "Press Ctrl+C to quit." << Qt::endl;

    UnixSignalWatcher signalWatcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &app, &QCoreApplication::quit);
    const int status = app.exec();
    return defaults.synchronize() ? status : 1;
}
