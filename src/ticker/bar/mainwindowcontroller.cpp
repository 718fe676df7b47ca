#include "ticker/bar/mainwindowcontroller.h"

#include "model/manager/datasourcemanager.h"
#include "model/source/notificationcenter.h"
#include "model/stars/starmanager.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/entrypreview.h"
#include "services/notifications/notificationmanager.h"
#include "ticker/bar/barcolumn.h"
#include "ticker/bar/barkeyboard.h"
#include "ticker/bar/compositorwatch.h"
#include "ticker/bar/desktopmotion.h"
#include "ticker/bar/drawnscrollbar.h"
#include "ticker/bar/edgestrip.h"
#include "ticker/bar/listflow.h"
#include "ticker/bar/rowrecycler.h"
#include "ticker/bar/rsswindow.h"
#include "ticker/bar/screenchoice.h"
#include "ticker/bar/toolbuttonrow.h"
#include "ticker/bar/unseenlist.h"
#include "ticker/bar/windowplacement.h"
#include "ticker/bar/x11desktop.h"
#include "ticker/widgets/fakecursorwindow.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/glowbutton.h"
#include "ticker/widgets/listview.h"
#include "ticker/widgets/vtgradientview.h"
#include "ui/animation/viewalpha.h"
#include "ui/drawing/coloradditions.h"

#include <QApplication>
#include <QLineEdit>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>

using namespace Qt::StringLiterals;

MainWindowController::MainWindowController(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_c(collaborators)
{
    buildWindow();
    buildList();
    connectInterface();
    observeSettings();
    flipSearchFieldActionAnimate(false);
    _resizeWindow();
    _updateTrackingArea();
    _fixAnimations();
}

MainWindowController::~MainWindowController()
{
    // Rows and timers go before the parts they use.
    m_flow.reset();
    m_window.reset();
}

void MainWindowController::buildWindow()
{
    m_window = std::make_unique<RSSWindow>();
    m_window->resize(initialWidth, 600);
    m_gradientView = new VTGradientView(m_c.defaults, m_window.get());
    m_scrollView = new FlippedClipView(m_window.get());
    m_scrollView->setObjectName(u"scrollView"_s);
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_counterButton = new QPushButton(m_window.get());
    m_counterButton->setObjectName(u"counterButton"_s);
    m_counterButton->setFlat(true);
    m_counterButton->setAutoFillBackground(true);
    m_counterButton->setFocusPolicy(Qt::NoFocus);
    m_counterButton->hide();
    m_counterButton->setEnabled(false);
    m_searchField = new QLineEdit(m_window.get());
    m_searchField->setObjectName(u"searchField"_s);
    m_buttons = std::make_unique<ToolButtonRow>(*m_window);
    m_fakeCursorWindow = std::make_unique<FakeCursorWindow>(QRect(20, 20, 100, 100), m_window.get());
    m_edgeStrip = new EdgeStrip(*m_fakeCursorWindow, *m_window);
    m_compositor = std::make_unique<CompositorWatch>();
    m_window->setCompositing(m_compositor->isCompositing());
    m_screens = std::make_unique<ScreenChoice>();
    m_screens->chooseName(m_c.defaults.stringForKey(SettingsKey::screen));
    m_column = std::make_unique<BarColumn>(*m_window, *m_scrollView, *m_counterButton, *m_searchField);
    m_unseen = std::make_unique<UnseenList>(*m_column, *m_counterButton, *m_scrollView);
}

void MainWindowController::buildList()
{
    m_mainListView = new ListView;
    m_mainListView->setObjectName(u"mainListView"_s);
    // The list not shown waits as a hidden child of the window.
    m_starListView = new ListView(m_window.get());
    m_starListView->setObjectName(u"starListView"_s);
    m_starListView->hide();
    m_mainListView->resize(m_scrollView->viewport()->width(), 0);
    m_starListView->resize(m_scrollView->viewport()->width(), 0);
    m_scrollView->setDocumentView(m_mainListView);
    m_scrollView->scrollToPoint(QPoint(0, 0));
    m_scrollBar = std::make_unique<DrawnScrollBar>(*m_scrollView);
    m_recycler = std::make_unique<RowRecycler>(m_c.rows);
    const ListFlow::Parts parts{m_c.defaults,  m_c.clock, m_c.preview, m_c.sounds,   m_c.notifications,
                                *m_scrollView, *m_column, *m_unseen,   *m_scrollBar, *m_recycler};
    m_flow = std::make_unique<ListFlow>(parts, m_c.manager, *m_mainListView, m_c.startTimers);
    m_flow->addOtherList(*m_starListView);
    m_keyboard = std::make_unique<BarKeyboard>(*this, m_c.preview, m_c.stars, m_c.rows.openInBrowser);
}

void MainWindowController::connectInterface()
{
    connect(m_scrollView, &FlippedClipView::boundsDidChange, m_flow.get(), &ListFlow::scrollDidChange);
    connect(m_counterButton, &QPushButton::clicked, m_flow.get(), &ListFlow::scrollToTopAction);
    connect(m_searchField, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_flow->datasource().setFilter(text); });
    connect(m_window.get(), &RSSWindow::windowDidResize, this, &MainWindowController::windowDidResize);
    connect(m_window.get(), &RSSWindow::windowWillMove, this, [this] { m_c.preview.close(); });
    connect(m_window.get(), &RSSWindow::windowWillClose, this, [this] { m_c.preview.close(); });
    connect(m_window.get(), &RSSWindow::localeDidChange, m_flow.get(), &ListFlow::updateTimes);
    connect(m_window.get(), &RSSWindow::pointerInside, this, &MainWindowController::pointerDidMove);
    connect(m_window.get(), &RSSWindow::feedDropped, this,
            [this](const QString &address) { m_c.manager.addFeedWithURL(address); });
    connect(m_screens.get(), &ScreenChoice::screenDidChange, this, &MainWindowController::_resizeWindow);
    connect(m_compositor.get(), &CompositorWatch::compositingChanged, m_window.get(),
            &RSSWindow::setCompositing);
    connect(&NotificationCenter::defaultCenter(), &NotificationCenter::starManagerItemsRemovedNotification,
            this, [this] {
                if (isShowingStarred())
                    m_flow->datasource().setNeedsRefresh(true);
            });
    connect(&m_c.notifications, &NotificationManager::markAsReadRequested, this,
            &MainWindowController::markRead);
    connect(&m_c.notifications, &NotificationManager::starRequested, this, &MainWindowController::star);

    ToolButtonRow &row = *m_buttons;
    connect(row.searchButton(), &GlowButton::clicked, this, [this] { flipSearchFieldActionAnimate(true); });
    connect(row.minimizeButton(), &GlowButton::clicked, m_window.get(), &RSSWindow::performMiniaturize);
    connect(row.starredButton(), &GlowButton::clicked, this, &MainWindowController::flipStarredAction);
    connect(row.markedButton(), &GlowButton::clicked, this, &MainWindowController::flipMarkedAction);
    connect(row.addButton(), &GlowButton::clicked, this, &MainWindowController::addFeedRequested);
    connect(row.preferencesButton(), &GlowButton::clicked, this, &MainWindowController::preferencesRequested);
    connect(row.autoHideButton(), &GlowButton::clicked, this,
            [this](bool on) { m_c.defaults.setObject(on, SettingsKey::autoHide); });
}

void MainWindowController::observeSettings()
{
    UserDefaults &d = m_c.defaults;
    const auto background = [this](const QVariant &) { backgroundDidChange(); };
    d.observe(SettingsKey::backgroundColor, this, background);
    d.observe(SettingsKey::opacity, this, background);
    d.observe(SettingsKey::gradientAngle, this, background);
    d.observe(SettingsKey::itemHeight, this, [this](const QVariant &) {
        m_flow->setItemHeight(int(m_c.defaults.integerForKey(SettingsKey::itemHeight)));
    });
    d.observe(SettingsKey::location, this, [this](const QVariant &) {
        locationDidChange(int(m_c.defaults.integerForKey(SettingsKey::location)));
    });
    d.observe(SettingsKey::alwaysOnTop, this, [this](const QVariant &) {
        alwaysOnTopDidChange(m_c.defaults.boolForKey(SettingsKey::alwaysOnTop));
    });
    d.observe(SettingsKey::fontColor, this, [this](const QVariant &) { fontDidChange(); });
    d.observe(SettingsKey::fontName, this, [this](const QVariant &) { fontDidChange(); });
    d.observe(SettingsKey::autoHide, this, [this](const QVariant &) {
        const bool on = m_c.defaults.boolForKey(SettingsKey::autoHide);
        m_buttons->autoHideButton()->updateState(on);
        m_flow->setAutoHide(on);
    });
    d.observe(SettingsKey::reduceMotion, this, [this](const QVariant &) { reduceMotionDidChange(); });
    d.observe(SettingsKey::reserveScreenEdge, this, [this](const QVariant &) { reserveEdgeDidChange(); });
    d.observe(SettingsKey::screen, this, [this](const QVariant &) { screenSettingDidChange(); });
}

void MainWindowController::screenSettingDidChange()
{
    const QString name = m_c.defaults.stringForKey(SettingsKey::screen);
    if (name != m_screens->chosenName())
        m_screens->chooseName(name); // docks again through screenDidChange
}

// A screen chosen by moving the window is kept as the setting, for the next start and the
// preferences' screen chooser.
void MainWindowController::chooseScreen(QScreen *screen)
{
    m_screens->choose(screen);
    if (screen)
        m_c.defaults.setObject(screen->name(), SettingsKey::screen);
}

// Without a colour setting the looks stay as they are. A gradient view paints the background
// when there is an angle; the window itself then stays clear.
void MainWindowController::backgroundDidChange()
{
    QColor color = m_c.defaults.colorForKey(SettingsKey::backgroundColor);
    if (!color.isValid())
        return;
    color.setAlphaF(std::clamp(float(m_c.defaults.doubleForKey(SettingsKey::opacity)), 0.0f, 1.0f));
    QPalette palette = m_counterButton->palette();
    palette.setColor(QPalette::Button, ColorAdditions::highlight(color));
    palette.setColor(QPalette::Window, ColorAdditions::highlight(color));
    m_counterButton->setPalette(palette);
    const bool gradient = m_c.defaults.doubleForKey(SettingsKey::gradientAngle) > -1.0;
    QColor windowColor = color;
    if (gradient)
        windowColor.setAlphaF(0.0f);
    m_window->setBackgroundColor(windowColor);
}

void MainWindowController::fontDidChange()
{
    const QColor color = m_c.defaults.colorForKey(SettingsKey::fontColor);
    if (!color.isValid())
        return;
    m_buttons->tint(color);
    m_unseen->setTitleStyle(color, QFont(m_c.defaults.stringForKey(SettingsKey::fontName)));
    m_unseen->forgetCount();
    m_flow->updateInvisibleList();
}

void MainWindowController::locationDidChange(int location)
{
    m_c.preview.close();
    const bool wasDocked = WindowPlacement::isDocked(m_windowLocation);
    m_windowLocation = std::clamp(location, 0, 2);
    if (!wasDocked && WindowPlacement::isDocked(m_windowLocation) && m_window->isVisible() &&
        m_window->screen())
        chooseScreen(m_window->screen());
    m_window->setStyle(m_windowLocation, m_alwaysOnTop);
    _resizeWindow();
    _updateTrackingArea();
    applyEdgeReservation();
    m_flow->rebuildViews(true);
}

void MainWindowController::alwaysOnTopDidChange(bool onTop)
{
    m_alwaysOnTop = onTop;
    m_window->setStyle(m_windowLocation, m_alwaysOnTop);
}

void MainWindowController::reduceMotionDidChange()
{
    const QVariant setting = m_c.defaults.objectForKey(SettingsKey::reduceMotion);
    m_reduceMotion = setting.isValid() ? setting.toBool() : DesktopMotion::prefersReducedMotion();
    m_flow->setReduceMotion(m_reduceMotion);
    m_column->setReduceMotion(m_reduceMotion);
    m_scrollBar->setReduceMotion(m_reduceMotion);
}

void MainWindowController::reserveEdgeDidChange()
{
    m_reserveEdge = m_c.defaults.boolForKey(SettingsKey::reserveScreenEdge);
    applyEdgeReservation();
}

void MainWindowController::applyEdgeReservation()
{
    QWindow *handle = m_window->windowHandle();
    if (!handle || !m_window->isVisible())
        return;
    if (m_reserveEdge && WindowPlacement::isDocked(m_windowLocation))
        X11Desktop::reserveEdge(handle, m_window->geometry(), m_windowLocation == WindowPlacement::Left);
    else
        X11Desktop::releaseEdge(handle);
}

void MainWindowController::showWindow()
{
    _resizeWindow();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    applyEdgeReservation();
    m_flow->rebuildViews();
}

void MainWindowController::resizeWindowForScreen(QScreen *screen)
{
    if (screen != m_screens->screen() || m_screens->chosenName().isEmpty())
        chooseScreen(screen); // docks again through screenDidChange
    else
        _resizeWindow();
}

void MainWindowController::_resizeWindow()
{
    if (WindowPlacement::isDocked(m_windowLocation)) {
        if (QScreen *screen = m_screens->screen()) {
            const QRect frame = WindowPlacement::dockedFrame(screen->availableGeometry(),
                                                             m_window->geometry(), m_windowLocation);
            if (frame != m_window->geometry())
                m_window->setGeometry(frame);
            applyEdgeReservation();
        }
    }
    _updateButtonPositions();
}

void MainWindowController::_updateButtonPositions()
{
    m_buttons->layout(m_windowLocation, m_buttonsVisible);
    if (WindowPlacement::isDocked(m_windowLocation))
        m_buttons->minimizeButton()->setVisible(m_buttonsVisible);
}

void MainWindowController::_updateTrackingArea()
{
    m_edgeStrip->place(m_windowLocation);
}

void MainWindowController::_fixAnimations()
{
    m_gradientView->setGeometry(m_window->rect());
    m_gradientView->lower();
    m_column->fix(!m_unseen->isEmpty());
}

void MainWindowController::windowDidResize()
{
    _updateTrackingArea();
    _resizeWindow();
    _fixAnimations();
    if (!WindowPlacement::isDocked(m_windowLocation))
        m_flow->scrollDidChange();
    else
        m_flow->rebuildViews(true);
    m_flow->_updatePreviewWindow();
    m_flow->wake();
}

void MainWindowController::pointerDidMove(bool inside)
{
    m_buttonsVisible = inside;
    _updateButtonPositions();
}

// The field's text is the provider's filter; hiding the field ends the search.
void MainWindowController::flipSearchFieldActionAnimate(bool animate)
{
    const bool hiding = m_searchField->isEnabled();
    double alpha = 0.0;
    if (hiding) {
        m_searchField->setEnabled(false);
        m_flow->datasource().setFilter(QString());
        m_searchField->clear();
        m_searchField->hide();
    } else {
        // Set on the first show: its icon is looked up in the icon theme, which costs the start.
        m_searchField->setClearButtonEnabled(true);
        m_searchField->show();
        m_searchField->setEnabled(true);
        m_searchField->setFocus();
        alpha = 0.9;
    }
    const bool counter = m_counterButton->isEnabled();
    const int height = m_column->scrollHeight(VerticalLayout::Operation::SearchFieldFlip, counter);
    QRect counterFrame = m_column->counterFrame();
    counterFrame.moveTop(height);
    const int duration = animate ? BarColumn::animatorDurationMs : 0;
    if (animate && !m_reduceMotion)
        ViewAlpha::animate(m_searchField, alpha, hiding ? 90 : 400);
    else
        ViewAlpha::set(m_searchField, alpha);
    m_column->setScrollHeight(height, duration);
    m_column->setCounterFrame(counterFrame, duration);
    m_unseen->clear();
}

bool MainWindowController::isShowingStarred() const
{
    return &m_flow->listView() == m_starListView;
}

void MainWindowController::flipStarredAction()
{
    if (!m_c.stars)
        return;
    const bool starred = !isShowingStarred();
    m_c.preview.close();
    QWidget *previous = m_scrollView->takeWidget();
    previous->setParent(m_window.get());
    previous->hide();
    ListView &list = starred ? *m_starListView : *m_mainListView;
    m_scrollView->setDocumentView(&list);
    list.show();
    m_scrollView->scrollToPoint(QPoint(0, 0));
    m_flow->setDatasource(starred ? static_cast<ViewDataSource &>(*m_c.stars) : m_c.manager, list);
    m_buttons->starredButton()->updateState(starred);
    m_buttons->markedButton()->setEnabled(!starred);
}

void MainWindowController::flipMarkedAction()
{
    const bool marked = !m_c.manager.isMarkedOnly();
    m_c.manager.setShowMarkedOnly(marked);
    m_buttons->markedButton()->updateState(marked);
}

void MainWindowController::markRead(const DataItemPtr &item)
{
    item->setRead(true);
    m_c.manager.setNeedsRefresh(true);
    m_flow->wake();
}

void MainWindowController::star(const DataItemPtr &item)
{
    if (m_c.stars)
        m_c.stars->starItem(item);
}
