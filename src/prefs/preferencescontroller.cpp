#include "prefs/preferencescontroller.h"

#include "prefs/appearancepreferencescontroller.h"
#include "prefs/generalpreferencescontroller.h"
#include "prefs/googlereadercontroller.h"
#include "prefs/notificationspane.h"
#include "prefs/rsspreferencescontroller.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QPropertyAnimation>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int windowWidth = 680;

} // namespace

PreferencesController::PreferencesController(const PreferencesServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_general(new GeneralPreferencesController(services)),
      m_rss(new RSSPreferencesController(services)), m_googleReader(new GoogleReaderController),
      m_appearance(new AppearancePreferencesController(services)),
      m_notifications(new NotificationsPane(services.defaults, services.notifications)),
      m_content(new QWidget), m_contentLayout(new QVBoxLayout(m_content))
{
    setObjectName(u"preferencesWindow"_s);
    m_content->setObjectName(u"contentView"_s);
    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(m_content);
    for (QWidget *pane : {static_cast<QWidget *>(m_general), static_cast<QWidget *>(m_rss),
                          static_cast<QWidget *>(m_googleReader), static_cast<QWidget *>(m_appearance),
                          static_cast<QWidget *>(m_notifications)}) {
        pane->setParent(m_content);
        pane->hide();
    }
    buildToolbar();
    addCloseShortcut();
    resize(windowWidth, 400);
    showPane(GeneralTag);
}

PreferencesController::~PreferencesController() = default;

// The desktop's close keys (Ctrl+W), as in any other settings window.
void PreferencesController::addCloseShortcut()
{
    auto *closeAction = new QAction(tr("Close"), this);
    closeAction->setObjectName(u"closePreferencesAction"_s);
    closeAction->setShortcuts(QKeySequence::Close);
    closeAction->setShortcutContext(Qt::WindowShortcut);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
}

void PreferencesController::buildToolbar()
{
    m_toolbar = addToolBar(tr("Panes"));
    m_toolbar->setObjectName(u"toolbar"_s);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_items = new QActionGroup(this);
    QStyle *look = style();
    addToolbarItem(GeneralTag, u"generalToolbarItem"_s, tr("General"),
                   look->standardIcon(QStyle::SP_ComputerIcon));
    addToolbarItem(FeedsTag, u"rssToolbarItem"_s, tr("Feeds"),
                   look->standardIcon(QStyle::SP_FileDialogListView));
    addToolbarItem(ReaderServiceTag, u"googleReaderToolbarItem"_s, tr("Reader Service"),
                   look->standardIcon(QStyle::SP_DriveNetIcon));
    addToolbarItem(AppearanceTag, u"appearanceToolbarItem"_s, tr("Appearance"),
                   look->standardIcon(QStyle::SP_DesktopIcon));
    addToolbarItem(NotificationsTag, u"notificationsToolbarItem"_s, tr("Notifications"),
                   look->standardIcon(QStyle::SP_MessageBoxInformation));
    connect(m_items, &QActionGroup::triggered, this, &PreferencesController::toolbarAction);
}

QAction *PreferencesController::addToolbarItem(int tag, const QString &objectName, const QString &label,
                                               const QIcon &icon)
{
    QAction *item = m_toolbar->addAction(icon, label);
    item->setObjectName(objectName);
    item->setData(tag);
    item->setCheckable(true);
    m_items->addAction(item);
    return item;
}

QAction *PreferencesController::toolbarItem(int tag) const
{
    for (QAction *item : m_items->actions()) {
        if (item->data().toInt() == tag)
            return item;
    }
    return nullptr;
}

QWidget *PreferencesController::paneView(int tag) const
{
    switch (tag) {
    case GeneralTag:
        return m_general;
    case FeedsTag:
        return m_rss;
    case ReaderServiceTag:
        return m_googleReader;
    case AppearanceTag:
        return m_appearance;
    case NotificationsTag:
        return m_notifications;
    default:
        return nullptr;
    }
}

void PreferencesController::showPane(int tag)
{
    if (QAction *item = toolbarItem(tag)) {
        item->setChecked(true);
        toolbarAction(item);
    } else {
        setWindowTitle(QString());
    }
}

void PreferencesController::toolbarAction(QAction *item)
{
    setWindowTitle(item->text());
    if (QWidget *pane = paneView(item->data().toInt()))
        setCurrentView(pane);
}

void PreferencesController::setCurrentView(QWidget *view)
{
    if (view == m_current)
        return;
    if (m_current) {
        m_contentLayout->removeWidget(m_current);
        m_current->hide();
    }
    const QSize before = size();
    const int chrome = height() - m_content->height();
    m_contentLayout->addWidget(view);
    view->show();
    m_current = view;
    // The window's minimum size must be the new pane's before the window is resized.
    m_contentLayout->activate();
    layout()->activate();
    resizeForPane(before, chrome + view->sizeHint().height());
}

// The window takes the new pane's height below its toolbar; only its size changes, so its
// top-left corner stays where the window manager put it and it grows or shrinks downwards. (Just
// after the window is shown, its position is not known yet: moving it there would hide its title
// bar above the screen.)
void PreferencesController::resizeForPane(QSize before, int height)
{
    if (m_resize)
        m_resize->stop();
    if (!isVisible()) {
        resize(width(), m_toolbar->sizeHint().height() + m_current->sizeHint().height());
        return;
    }
    const QSize target(before.width(), height);
    if (m_resizeDuration <= 0) {
        resize(target);
        return;
    }
    if (!m_resize)
        m_resize = new QPropertyAnimation(this, "size", this);
    m_resize->setDuration(m_resizeDuration);
    m_resize->setStartValue(before);
    m_resize->setEndValue(target);
    m_resize->start();
}

void PreferencesController::addFeedAction()
{
    showPane(FeedsTag);
    show();
    raise();
    activateWindow();
    m_rss->addFeed();
}

void PreferencesController::addFeed(const QString &link)
{
    setCurrentView(m_rss);
    show();
    raise();
    activateWindow();
    m_rss->addFeedWithUrl(link);
}

// A field being edited commits its text when it loses the focus.
void PreferencesController::closeEvent(QCloseEvent *event)
{
    if (QWidget *focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    event->accept();
}
