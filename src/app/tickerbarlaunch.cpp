#include "app/tickerbarlaunch.h"

#include "cli/exitcode.h"
#include "cli/profilelock.h"
#include "model/manager/datasourcemanager.h"
#include "model/stars/starmanager.h"
#include "platform/clock.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/paths.h"
#include "platform/unixsignalwatcher.h"
#include "platform/userdefaults.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/notifications/notificationmanager.h"
#include "ticker/bar/mainwindowcontroller.h"
#include "ticker/rows/rowsettings.h"

#include <QApplication>
#include <QTextStream>

#include <csignal>

bool TickerBarLaunch::hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void TickerBarLaunch::preferPlaceableWindows()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QTextStream(stderr)
        << "Wayland session: the bar runs through XWayland so that it can stand at a screen edge."
        << Qt::endl;
}

int TickerBarLaunch::run()
{
    ProfileLock lock(Paths::configFolder());
    if (!lock.tryLock()) {
        QTextStream(stderr) << lock.errorString() << Qt::endl;
        return ExitCode::failure;
    }
    UnixSignalWatcher signalWatcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, qApp, &QCoreApplication::quit);
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    DatasourceManager &manager = DatasourceManager::sharedInstance();
    VTPreviewWindowController &preview = VTPreviewWindowController::sharedInstance();
    NotificationManager notifications(defaults, FreedesktopNotifications::sharedInstance(),
                                      BrowserSupport::sharedInstance());
    RowSettings rowSettings(defaults);
    MainWindowController bar({.defaults = defaults,
                              .clock = Clock::system(),
                              .manager = manager,
                              .stars = &StarManager::sharedInstance(),
                              .preview = preview,
                              .sounds = CanberraSoundPlayer::sharedInstance(),
                              .notifications = notifications,
                              .rows = RowContext::standard(rowSettings, preview),
                              .startTimers = true});
    bar.showWindow();
    int status = QApplication::exec();
    preview.close();
    manager.close();
    QTextStream err(stderr);
    if (!manager.syncAll()) {
        err << "Some feeds' headlines could not be saved." << Qt::endl;
        status = ExitCode::failure;
    }
    if (!defaults.synchronize()) {
        err << defaults.errorString() << Qt::endl;
        status = ExitCode::failure;
    }
    return status;
}
