#include "app/desktopstart.h"

#include "app/crashreporter.h"
#include "app/feedlink.h"
#include "app/preferencesopener.h"
#include "app/startup.h"
#include "app/tickerwindow.h"
#include "app/vantrelappdelegate.h"
#include "buildinfo.h"
#include "cli/clirequest.h"
#include "cli/profilelock.h"
#include "model/manager/datasourcemanager.h"
#include "platform/desktop/applicationdesktopfile.h"
#include "platform/desktop/singleinstancechannel.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/unixsignalwatcher.h"
#include "platform/userdefaults.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QTimer>
#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// The bar must sit at a screen edge, which Wayland clients cannot ask for: run through XWayland.
void preferX11OnWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsSet("DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", "xcb");
    std::fprintf(stderr,
                 "Wayland session: the bar runs through XWayland so that it can stand at a screen edge.\n");
}

void printError(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A link that is no feed link is refused here for the terminal, and still handed on, so that the
// running program can tell the user who clicked it.
bool checkLink(const QString &link)
{
    QString refusal;
    if (link.isEmpty() || FeedLink::address(link, &refusal))
        return true;
    printError(refusal);
    return false;
}

QString channelName()
{
    const QByteArray profile =
        QCryptographicHash::hash(Paths::configFolder().toUtf8(), QCryptographicHash::Sha256);
    return SingleInstanceChannel::defaultName() + u'-' + QString::fromLatin1(profile.toHex().left(16));
}

} // namespace

int DesktopStart::run(int &argc, char **argv, const CliRequest &request, const WindowFactory &makeWindows)
{
    preferX11OnWayland();
    CrashReporter::install();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(buildinfo::applicationName));
    QApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(buildinfo::bundleIdentifier));
    QApplication::setQuitOnLastWindowClosed(false);

    const bool linkAccepted = checkLink(request.link);
    // One instance per profile: a second start on the same settings hands over, one on other
    // settings (another XDG_CONFIG_HOME) runs on its own. An empty message asks for the bar.
    SingleInstanceChannel channel(channelName());
    switch (channel.claim({request.link})) {
    case SingleInstanceChannel::Role::Primary:
        break;
    case SingleInstanceChannel::Role::Secondary:
        return linkAccepted ? 0 : 1;
    case SingleInstanceChannel::Role::Failed:
        printError(u"Vantrel cannot tell whether it is already running (%1); it starts anyway."_s.arg(
            channel.errorString()));
        break;
    }

    ProfileLock lock(Paths::configFolder());
    if (!lock.tryLock()) {
        printError(lock.errorString());
        return 1;
    }
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const bool firstLaunch = !defaults.objectForKey(SettingsKey::firstRun).isValid();
    Startup::prepareUserDefaults(defaults, {});
    DatasourceManager &manager = DatasourceManager::sharedInstance();
    const Windows windows = makeWindows(manager, defaults);

    XdgUrlSchemeHandlers schemeHandlers;
    VantrelAppDelegate delegate(
        {defaults, manager, *windows.mainWindow, *windows.preferences, schemeHandlers},
        VantrelAppDelegate::Bundle::running());
    delegate.interceptQuit();
    QObject::connect(&delegate, &VantrelAppDelegate::terminationReady, &app, &QCoreApplication::exit);
    QObject::connect(&channel, &SingleInstanceChannel::messageReceived, &delegate, [&](const QString &link) {
        if (link.isEmpty())
            delegate.applicationShouldHandleReopen(windows.mainWindow->isVisible());
        else
            delegate.getUrl(link);
    });
    UnixSignalWatcher signalWatcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &app, &QCoreApplication::quit);

    // On X11 the taskbar presence is the window's type. Set on a mapped window it unmaps and maps
    // the window again, and a window manager still busy with the unmap can drop the second map,
    // leaving the bar hidden: so it is set before the window first shows.
    windows.mainWindow->setTaskbarPresence(defaults.boolForKey(SettingsKey::showInDock));
    windows.mainWindow->orderFront();
    delegate.applicationDidFinishLaunching();
    if (!request.link.isEmpty())
        QTimer::singleShot(0, &delegate, [&] { delegate.getUrl(request.link); });
    if (firstLaunch)
        delegate.showWelcome();
    if (const QStringList reports = CrashReporter::takeUnseenReports(); !reports.isEmpty())
        delegate.offerCrashReport(reports.last());
    return app.exec();
}
