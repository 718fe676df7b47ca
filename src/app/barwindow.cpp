#include "app/barwindow.h"

#include "model/manager/datasourcemanager.h"
#include "model/stars/starmanager.h"
#include "platform/clock.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/userdefaults.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/notifications/notificationmanager.h"
#include "services/sharing/sharemanager.h"
#include "ticker/bar/mainwindowcontroller.h"
#include "ticker/bar/rsswindow.h"
#include "ticker/rows/rowsettings.h"

BarWindow::BarWindow(DatasourceManager &manager, UserDefaults &defaults)
    : m_preview(std::make_unique<VTPreviewWindowController>(defaults, BrowserSupport::sharedInstance(),
                                                            ShareManager::sharedManager(),
                                                            CanberraSoundPlayer::sharedInstance())),
      m_notifications(std::make_unique<NotificationManager>(
          defaults, FreedesktopNotifications::sharedInstance(), BrowserSupport::sharedInstance())),
      m_rowSettings(std::make_unique<RowSettings>(defaults))
{
    m_bar = std::make_unique<MainWindowController>(
        MainWindowController::Collaborators{.defaults = defaults,
                                            .clock = Clock::system(),
                                            .manager = manager,
                                            .stars = &StarManager::sharedInstance(),
                                            .preview = *m_preview,
                                            .sounds = CanberraSoundPlayer::sharedInstance(),
                                            .notifications = *m_notifications,
                                            .rows = RowContext::standard(*m_rowSettings, *m_preview),
                                            .startTimers = true});
}

BarWindow::~BarWindow()
{
    m_preview->close();
}

bool BarWindow::isVisible() const
{
    return m_bar->window()->isVisible();
}

void BarWindow::orderFront()
{
    m_bar->showWindow();
}

void BarWindow::orderOut()
{
    m_preview->close();
    m_bar->window()->hide();
}

void BarWindow::setTaskbarPresence(bool present)
{
    m_bar->window()->setTaskbarPresence(present);
}
