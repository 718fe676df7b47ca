#include "app/startup.h"
#include "app/tickerbarlaunch.h"
#include "buildinfo.h"
#include "cli/cliapplication.h"
#include "cli/commandline.h"
#include "cli/exitcode.h"
#include "platform/userdefaults.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int sayThereIsNoDisplay()
{
    QTextStream(stderr)
        << "There is no display to show the ticker on (neither DISPLAY nor WAYLAND_DISPLAY is set)."
        << Qt::endl
        << "Run \"vantrel --headless\" for the ticker in the terminal, or \"vantrel --help\" for the "
           "commands."
        << Qt::endl;
    return ExitCode::failure;
}
} // namespace

int main(int argc, char **argv)
{
    const CliRequest request = CommandLine::parse(argumentsOf(argc, argv));
    const bool opensBar = request.command == CliRequest::Command::None && TickerBarLaunch::hasDisplay();
    if (opensBar)
        TickerBarLaunch::preferPlaceableWindows();
    const std::unique_ptr<QCoreApplication> app = opensBar ? std::make_unique<QApplication>(argc, argv)
                                                           : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(buildinfo::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));

    if (const int status = CliApplication::answerWithoutProfile(request); status >= 0)
        return status;

    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    Startup::prepareUserDefaults(defaults, {});
    if (request.command != CliRequest::Command::None)
        return CliApplication(defaults).run(request);
    if (!opensBar)
        return sayThereIsNoDisplay();
    return TickerBarLaunch::run();
}
