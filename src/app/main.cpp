#include "app/startup.h"
#include "buildinfo.h"
#include "platform/paths.h"
#include "platform/unixsignalwatcher.h"
#include "platform/userdefaults.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <csignal>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(buildinfo::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));

    QCommandLineParser parser;
    parser.setApplicationDescription(u"A news ticker for your RSS and Atom feeds."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    Startup::prepareUserDefaults(defaults, {});

    QTextStream out(stdout);
    out << "Settings: " << defaults.filePath() << '\n'
        << "Caches:   " << Paths::cachesFolder() << '\n'
        << "Press Ctrl+C to quit." << Qt::endl;

    UnixSignalWatcher signalWatcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &app, &QCoreApplication::quit);
    const int status = app.exec();
    return defaults.synchronize() ? status : 1;
}
