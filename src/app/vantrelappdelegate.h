#pragma once

#include "app/quitsequence.h"
#include "app/sethandlerpanel.h"
#include "app/whatsnewwindow.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class DatasourceManager;
class HelpBook;
class PreferencesOpener;
class StatusMenu;
class TrayBadge;
class TickerWindow;
class UrlSchemeHandlers;
class UserDefaults;

// The application's delegate: what happens once the program has started (tray icon, "What's
// New", the feed: handler check), the feed: links handed in, the taskbar switch, help, about,
// and the save at quit.
class VantrelAppDelegate : public QObject {
    Q_OBJECT
public:
    struct Parts {
        UserDefaults &defaults;
        DatasourceManager &manager;
        TickerWindow &mainWindow;
        PreferencesOpener &preferences;
        UrlSchemeHandlers &schemeHandlers;
    };
    // What the program knows of itself.
    struct Bundle {
        QString version;       // the bundle version "What's New" compares
        QString applicationId; // the desktop file id the desktop knows Vantrel by
        QString executable;    // what a restart runs
        QString processName;   // names the leftover download cache
        static Bundle running();
    };

    VantrelAppDelegate(const Parts &parts, const Bundle &bundle, QObject *parent = nullptr);
    ~VantrelAppDelegate() override;

    // Takes over every request to quit the application (Quit item, signals, logout).
    void interceptQuit();

    void applicationDidFinishLaunching();

    // A link handed in by the desktop, the command line or a second start: opens the
    // preferences' add-feed flow with its address, or says why it is no feed link.
    void getUrl(const QString &link);
    void showPreferences();
    void showHideWindow();
    // A second start without a link, or the taskbar entry clicked: the bar comes back.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // Opens the help page named `page` in the browser ("" for the first page).
    void openHelpAction(const QString &page);
    void doShowWhatsNew();
    void orderFrontStandardAboutPanel();
    // The first start's welcome.
    void showWelcome();
    // Tells that the last run crashed and offers to show the report it left.
    void offerCrashReport(const QString &reportPath);
    // Ends the application after saving; see QuitSequence.
    void applicationShouldTerminate();

    StatusMenu *statusMenu() const { return m_statusMenu.get(); }
    TrayBadge *trayBadge() const { return m_trayBadge.get(); }
    WhatsNewWindow *whatsNewWindow() const { return m_whatsNewWindow; }
    SetHandlerPanel *setHandlerPanel() const { return m_setHandlerPanel; }
    QuitSequence *quitSequence() const { return m_quit; }

    // Shows the restart alert and answers whether to restart; tests replace it.
    std::function<bool()> askToRestart;
    // How long the save at quit may take, and what ends the program when it takes longer.
    std::chrono::milliseconds quitTimeLimit = QuitSequence::defaultTimeLimit;
    std::function<void()> quitDeadlineAction = &QuitSequence::endProcessNow;

Q_SIGNALS:
    // The save at quit is over: the application ends now with this status.
    void terminationReady(int exitStatus);
    // A message for the user that the application also showed (a refused link, a help page that
    // would not open).
    void noticeShown(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void disableURLCache();
    void createStatusItem();
    void observeShowInDock(const QVariant &value);
    void showWhatsNew();
    void setupHandler();
    void doSetupHandler();
    void restart();
    void quitFinished(QuitSequence::Outcome outcome);
    void showNotice(const QString &title, const QString &message);

    Parts m_parts;
    Bundle m_bundle;
    std::unique_ptr<StatusMenu> m_statusMenu;
    std::unique_ptr<TrayBadge> m_trayBadge;
    QPointer<WhatsNewWindow> m_whatsNewWindow;
    QPointer<SetHandlerPanel> m_setHandlerPanel;
    std::unique_ptr<HelpBook> m_helpBook;
    QuitSequence *m_quit = nullptr;
    bool m_firstRun = false;
    bool m_relaunchRequested = false;
};
