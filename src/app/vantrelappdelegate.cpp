#include "app/vantrelappdelegate.h"

#include "app/defaultfeedhandler.h"
#include "app/feedlink.h"
#include "app/helpbook.h"
#include "app/preferencesopener.h"
#include "app/relauncher.h"
#include "app/restartalert.h"
#include "app/sethandlerpanel.h"
#include "app/statusmenu.h"
#include "app/tickerwindow.h"
#include "app/traybadge.h"
#include "app/urlcachecleaner.h"
#include "app/welcomewindow.h"
#include "app/whatsnewcheck.h"
#include "app/whatsnewwindow.h"
#include "buildinfo.h"
#include "model/manager/datasourcemanager.h"
#include "platform/desktop/applicationdesktopfile.h"
#include "platform/paths.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSessionManager>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

VantrelAppDelegate::Bundle VantrelAppDelegate::Bundle::running()
{
    return {QString::fromLatin1(buildinfo::bundleVersion), ApplicationDesktopFile::id(),
            QCoreApplication::applicationFilePath(),
            QFileInfo(QCoreApplication::applicationFilePath()).fileName()};
}

VantrelAppDelegate::VantrelAppDelegate(const Parts &parts, const Bundle &bundle, QObject *parent)
    : QObject(parent), askToRestart(&RestartAlert::ask), m_parts(parts), m_bundle(bundle),
      m_helpBook(std::make_unique<HelpBook>())
{
}

VantrelAppDelegate::~VantrelAppDelegate()
{
    QCoreApplication::instance()->removeEventFilter(this);
    delete m_whatsNewWindow;
    delete m_setHandlerPanel;
}

void VantrelAppDelegate::interceptQuit()
{
    QCoreApplication::instance()->installEventFilter(this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) {
        // The session ends: save now, as at any quit, while the session manager still waits.
        applicationShouldTerminate();
    });
}

bool VantrelAppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
        applicationShouldTerminate();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---- Start

void VantrelAppDelegate::applicationDidFinishLaunching()
{
    disableURLCache();
    m_firstRun = true;
    const bool showInDock = m_parts.defaults.boolForKey(SettingsKey::showInDock);
    m_parts.mainWindow.setTaskbarPresence(showInDock);
    if (!showInDock)
        createStatusItem();
    m_parts.defaults.observe(SettingsKey::showInDock, this,
                             [this](const QVariant &value) { observeShowInDock(value); });
    showWhatsNew();
    setupHandler();
}

void VantrelAppDelegate::disableURLCache()
{
    UrlCacheCleaner::removeProcessCache(
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation), m_bundle.processName,
        Paths::cachesFolder());
}

void VantrelAppDelegate::createStatusItem()
{
    m_statusMenu = std::make_unique<StatusMenu>(m_parts.mainWindow, m_parts.manager);
    connect(m_statusMenu.get(), &StatusMenu::preferencesRequested, this,
            &VantrelAppDelegate::showPreferences);
    connect(m_statusMenu.get(), &StatusMenu::helpRequested, this, [this] { openHelpAction(QString()); });
    connect(m_statusMenu.get(), &StatusMenu::whatsNewRequested, this, &VantrelAppDelegate::doShowWhatsNew);
    connect(m_statusMenu.get(), &StatusMenu::aboutRequested, this,
            &VantrelAppDelegate::orderFrontStandardAboutPanel);
    connect(m_statusMenu.get(), &StatusMenu::quitRequested, this,
            &VantrelAppDelegate::applicationShouldTerminate);
}

// ---- Taskbar entry or tray icon

void VantrelAppDelegate::observeShowInDock(const QVariant &value)
{
    // The first call reports the value the program started with.
    if (std::exchange(m_firstRun, false))
        return;
    if (value.toBool()) {
        m_parts.mainWindow.setTaskbarPresence(true);
        if (m_statusMenu)
            m_statusMenu->remove();
        return;
    }
    if (!m_parts.defaults.synchronize())
        qWarning("Vantrel could not save its settings: %s", qPrintable(m_parts.defaults.errorString()));
    if (askToRestart())
        restart();
}

void VantrelAppDelegate::restart()
{
    m_relaunchRequested = true;
    applicationShouldTerminate();
}

// ---- What's New

void VantrelAppDelegate::showWhatsNew()
{
    if (WhatsNewCheck::recordLaunch(m_parts.defaults, m_bundle.version))
        doShowWhatsNew();
}

void VantrelAppDelegate::doShowWhatsNew()
{
    if (!m_whatsNewWindow)
        m_whatsNewWindow = new WhatsNewWindow;
    m_whatsNewWindow->orderFront();
}

// ---- The feed: handler

void VantrelAppDelegate::setupHandler()
{
    const DefaultFeedHandler handler(m_parts.schemeHandlers, m_bundle.applicationId, m_bundle.executable);
    switch (handler.decide(m_parts.defaults)) {
    case DefaultFeedHandler::Decision::Claim:
        doSetupHandler();
        break;
    case DefaultFeedHandler::Decision::Nothing:
        break;
    case DefaultFeedHandler::Decision::Ask:
        delete m_setHandlerPanel;
        m_setHandlerPanel = new SetHandlerPanel(handler.currentDefaultName());
        m_setHandlerPanel->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_setHandlerPanel, &QDialog::accepted, this, &VantrelAppDelegate::doSetupHandler);
        m_setHandlerPanel->show();
        m_setHandlerPanel->raise();
        m_setHandlerPanel->activateWindow();
        break;
    }
}

void VantrelAppDelegate::doSetupHandler()
{
    DefaultFeedHandler handler(m_parts.schemeHandlers, m_bundle.applicationId, m_bundle.executable);
    QString error;
    if (!handler.claim(&error))
        qWarning("Vantrel could not make itself the program for feed: links: %s", qPrintable(error));
}

// ---- Links, windows, help, about

void VantrelAppDelegate::getUrl(const QString &link)
{
    QString refusal;
    const std::optional<QUrl> address = FeedLink::address(link, &refusal);
    if (!address) {
        showNotice(tr("Not a Feed Link"), refusal);
        return;
    }
    showPreferences();
    m_parts.preferences.addFeed(*address);
}

void VantrelAppDelegate::showPreferences()
{
    m_parts.preferences.showPreferences();
}

void VantrelAppDelegate::showHideWindow()
{
    if (m_parts.mainWindow.isVisible())
        m_parts.mainWindow.orderOut();
    else
        m_parts.mainWindow.orderFront();
}

bool VantrelAppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (!hasVisibleWindows)
        m_parts.mainWindow.orderFront();
    return true;
}

void VantrelAppDelegate::openHelpAction(const QString &page)
{
    QString error;
    if (!m_helpBook->openPage(page, &error))
        showNotice(tr("Vantrel Help"), error);
}

void VantrelAppDelegate::orderFrontStandardAboutPanel()
{
    auto *about =
        new QMessageBox(QMessageBox::Information, tr("About Vantrel"),
                        u"Vantrel %1"_s.arg(QString::fromLatin1(buildinfo::version)), QMessageBox::Ok);
    about->setObjectName(u"aboutPanel"_s);
    about->setInformativeText(
        tr("The headlines of your RSS and Atom feeds, in a bar at the edge of the screen."));
    about->setIconPixmap(QIcon(u":/images/vantrel_bw.svg"_s).pixmap(64, 64));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::NonModal); // message boxes are modal unless told; the tray must stay usable
    about->show();
}

void VantrelAppDelegate::showWelcome()
{
    auto *welcome = new WelcomeWindow;
    connect(welcome, &WelcomeWindow::importRequested, this, [this] {
        showPreferences();
        m_parts.preferences.importOpml();
    });
    connect(welcome, &WelcomeWindow::addRequested, this, [this](const QUrl &address) {
        showPreferences();
        m_parts.preferences.addFeed(address);
    });
    welcome->show();
    welcome->raise();
    welcome->activateWindow();
}

void VantrelAppDelegate::offerCrashReport(const QString &reportPath)
{
    auto *offer = new QMessageBox(QMessageBox::Information, tr("Vantrel"),
                                  tr("Vantrel ended unexpectedly last time."), QMessageBox::NoButton);
    offer->setObjectName(u"crashReportOffer"_s);
    offer->setInformativeText(tr("It left a report in %1. Your settings and headlines were not affected.")
                                  .arg(QDir::toNativeSeparators(reportPath)));
    QPushButton *show = offer->addButton(tr("Show Report"), QMessageBox::AcceptRole);
    show->setObjectName(u"showReportButton"_s);
    offer->addButton(QMessageBox::Close);
    offer->setAttribute(Qt::WA_DeleteOnClose);
    offer->setWindowModality(Qt::NonModal);
    connect(show, &QPushButton::clicked, this,
            [reportPath] { QDesktopServices::openUrl(QUrl::fromLocalFile(reportPath)); });
    offer->show();
}

void VantrelAppDelegate::showNotice(const QString &title, const QString &message)
{
    qWarning("%s", qPrintable(message));
    auto *notice = new QMessageBox(QMessageBox::Warning, title, message, QMessageBox::Ok);
    notice->setObjectName(u"notice"_s);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowModality(Qt::NonModal);
    notice->show();
    Q_EMIT noticeShown(message);
}

// ---- Quit

void VantrelAppDelegate::applicationShouldTerminate()
{
    if (m_quit)
        return;
    m_quit = new QuitSequence(m_parts.manager, m_parts.defaults, quitTimeLimit, quitDeadlineAction, this);
    connect(m_quit, &QuitSequence::finished, this, &VantrelAppDelegate::quitFinished);
    m_quit->begin();
}

void VantrelAppDelegate::quitFinished(QuitSequence::Outcome outcome)
{
    if (m_relaunchRequested) {
        QString error;
        if (!Relauncher::relaunchAfterExit(m_bundle.executable, QCoreApplication::applicationPid(), &error))
            qWarning("%s", qPrintable(error));
    }
    Q_EMIT terminationReady(outcome == QuitSequence::Outcome::Saved ? 0 : 1);
}
