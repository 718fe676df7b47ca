#include "app/desktopstart.h"
#include "app/desktopwindows.h"
#include "app/startup.h"
#include "buildinfo.h"
#include "cli/cliapplication.h"
#include "cli/commandline.h"
#include "cli/exitcode.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {
QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
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
    if (request.errorString.isEmpty() && request.command == CliRequest::Command::None && hasDisplay())
        return DesktopStart::run(argc, argv, request, &DesktopWindows::make);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(buildinfo::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));
    if (const int status = CliApplication::answerWithoutProfile(request); status >= 0)
        return status;
    if (request.command == CliRequest::Command::None)
        return sayThereIsNoDisplay();

    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    Startup::prepareUserDefaults(defaults, {});
    return CliApplication(defaults).run(request);
}
