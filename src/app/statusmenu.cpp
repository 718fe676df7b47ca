#include "app/statusmenu.h"

#include "app/tickerwindow.h"
#include "model/manager/viewdatasource.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace {
// The size the tray image is drawn for; hosts scale it to their own.
constexpr int imageSize = 19;
} // namespace

StatusMenu::StatusMenu(TickerWindow &mainWindow, ViewDataSource &headlines, QObject *parent)
    : QObject(parent), m_mainWindow(mainWindow), m_headlines(headlines), m_menu(new QMenu),
      m_trayIcon(new QSystemTrayIcon(this))
{
    m_menu->setObjectName(u"statusMenu"_s);
    QAction *preferences = m_menu->addAction(tr("Preferences…"));
    preferences->setObjectName(u"preferencesItem"_s);
    connect(preferences, &QAction::triggered, this, &StatusMenu::preferencesRequested);
    m_menu->addMenu(makeViewMenu());
    m_showHideItem = m_menu->addAction(tr("Show Window"));
    m_showHideItem->setObjectName(u"showHideItem"_s);
    connect(m_showHideItem, &QAction::triggered, this, &StatusMenu::showHideWindow);
    QAction *help = m_menu->addAction(tr("Vantrel Help"));
    help->setObjectName(u"helpItem"_s);
    connect(help, &QAction::triggered, this, &StatusMenu::helpRequested);
    QAction *whatsNew = m_menu->addAction(tr("What's New"));
    whatsNew->setObjectName(u"whatsNewItem"_s);
    connect(whatsNew, &QAction::triggered, this, &StatusMenu::whatsNewRequested);
    QAction *about = m_menu->addAction(tr("About Vantrel"));
    about->setObjectName(u"aboutItem"_s);
    connect(about, &QAction::triggered, this, &StatusMenu::aboutRequested);
    QAction *quit = m_menu->addAction(tr("Quit"));
    quit->setObjectName(u"quitItem"_s);
    connect(quit, &QAction::triggered, this, &StatusMenu::quitRequested);
    connect(m_menu, &QMenu::aboutToShow, this, &StatusMenu::validateMenuItems);

    QIcon icon;
    icon.addFile(u":/images/vantrel_bw.svg"_s, QSize(imageSize, imageSize));
    m_trayIcon->setObjectName(u"statusItem"_s);
    m_trayIcon->setIcon(icon);
    m_trayIcon->setToolTip(u"Vantrel"_s);
    m_trayIcon->setContextMenu(m_menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            showHideWindow();
    });
    validateMenuItems();
    m_trayIcon->show();
}

StatusMenu::~StatusMenu()
{
    delete m_menu;
}

QMenu *StatusMenu::makeViewMenu()
{
    auto *view = new QMenu(tr("View"), m_menu);
    view->setObjectName(u"viewItem"_s);
    m_markedOnlyItem = view->addAction(tr("Marked Headlines Only"));
    m_markedOnlyItem->setObjectName(u"markedOnlyItem"_s);
    m_markedOnlyItem->setCheckable(true);
    connect(m_markedOnlyItem, &QAction::toggled, this, [this](bool markedOnly) {
        m_headlines.setShowMarkedOnly(markedOnly);
        m_headlines.setNeedsRefresh(true);
    });
    QAction *markRead = view->addAction(tr("Mark All as Read"));
    markRead->setObjectName(u"markAllReadItem"_s);
    connect(markRead, &QAction::triggered, this, [this] { m_headlines.markRead(); });
    return view;
}

void StatusMenu::validateMenuItems()
{
    m_showHideItem->setText(m_mainWindow.isVisible() ? tr("Hide Window") : tr("Show Window"));
    const QSignalBlocker quiet(m_markedOnlyItem);
    m_markedOnlyItem->setChecked(m_headlines.isMarkedOnly());
}

void StatusMenu::showHideWindow()
{
    if (m_mainWindow.isVisible())
        m_mainWindow.orderOut();
    else
        m_mainWindow.orderFront();
    validateMenuItems();
    Q_EMIT windowToggled();
}

void StatusMenu::remove()
{
    m_trayIcon->hide();
}
