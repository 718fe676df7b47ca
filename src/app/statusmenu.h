#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QSystemTrayIcon;
class TickerWindow;
class ViewDataSource;

// The tray icon and its menu, for when Vantrel runs without a taskbar entry. The items, in order:
// "Preferences…", "View", "Show Window"/"Hide Window", "Vantrel Help", "What's New",
// "About Vantrel", "Quit". The show/hide item is named after what it will do whenever the menu opens.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    StatusMenu(TickerWindow &mainWindow, ViewDataSource &headlines, QObject *parent = nullptr);
    ~StatusMenu() override;

    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QMenu *menu() const { return m_menu; }
    QAction *showHideItem() const { return m_showHideItem; }

    // Names the show/hide item after the window's state.
    void validateMenuItems();
    // Takes the icon out of the tray for good.
    void remove();

Q_SIGNALS:
    void preferencesRequested();
    void helpRequested();
    void whatsNewRequested();
    void aboutRequested();
    void quitRequested();
    // The bar was shown or hidden from the tray.
    void windowToggled();

private:
    QMenu *makeViewMenu();
    void showHideWindow();

    TickerWindow &m_mainWindow;
    ViewDataSource &m_headlines;
    QMenu *m_menu;
    QAction *m_showHideItem = nullptr;
    QAction *m_markedOnlyItem = nullptr;
    QSystemTrayIcon *m_trayIcon;
};
