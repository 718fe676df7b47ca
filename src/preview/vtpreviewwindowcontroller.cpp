#include "preview/vtpreviewwindowcontroller.h"

#include "platform/desktop/canberrasoundplayer.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/previewdocument.h"
#include "preview/previewgeometry.h"
#include "preview/previewhtmlview.h"
#include "preview/vtpreviewbubbleview.h"
#include "services/browser/browsersupport.h"
#include "services/browser/linkpolicy.h"
#include "services/sharing/sharemanager.h"
#include "ui/animation/viewalpha.h"
#include "ui/drawing/bottomupgeometry.h"
#include "ui/drawing/imagetinting.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QPropertyAnimation>
#include <QScreen>
#include <QToolButton>
#include <QWidget>

#include <cmath>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcPreview, "vantrel.preview")

namespace {

VTPreviewWindowController *sharedController = nullptr;

const QColor buttonColor(0x5a, 0x5a, 0x5a);
// The font size when the setting holds none that can be shown.
constexpr int fallbackFontSize = 12;

QSize roundedUp(const QSizeF &size)
{
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

} // namespace

VTPreviewWindowController::VTPreviewWindowController(UserDefaults &defaults, BrowserSupport &browser,
                                                     ShareManager &sharing, SoundPlayer &beeper,
                                                     const Options &options, QObject *parent)
    : QObject(parent), m_defaults(defaults), m_browser(browser), m_sharing(sharing), m_beeper(beeper),
      m_options(options)
{
    if (!sharedController)
        sharedController = this;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &VTPreviewWindowController::hide);
    buildWindow();
    observeSettings();
}

VTPreviewWindowController::~VTPreviewWindowController()
{
    if (sharedController == this)
        sharedController = nullptr;
    delete m_window;
}

VTPreviewWindowController &VTPreviewWindowController::sharedInstance()
{
    if (!sharedController) {
        auto *controller = new VTPreviewWindowController(
            UserDefaults::standardUserDefaults(), BrowserSupport::sharedInstance(),
            ShareManager::sharedManager(), CanberraSoundPlayer::sharedInstance());
        controller->setParent(QCoreApplication::instance());
    }
    return *sharedController;
}

void VTPreviewWindowController::buildWindow()
{
    m_window = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    m_window->setObjectName(u"previewWindow"_s);
    m_window->setAttribute(Qt::WA_TranslucentBackground);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);

    m_bubble = new VTPreviewBubbleView(m_window);
    m_webView = new PreviewHtmlView(m_options.images, m_bubble);
    m_webView->installEventFilter(this);
    connect(m_webView, &PreviewHtmlView::linkClicked, this, &VTPreviewWindowController::linkClicked);
    connect(m_webView, &PreviewHtmlView::imageShown, this, &VTPreviewWindowController::imageShown);

    m_openButton = makeButton(u"previewOpenButton"_s, u"open"_s, u"Open in Browser"_s);
    connect(m_openButton, &QToolButton::clicked, this, &VTPreviewWindowController::openAction);
    m_closeButton = makeButton(u"previewCloseButton"_s, u"close"_s, u"Close"_s);
    connect(m_closeButton, &QToolButton::clicked, this, &VTPreviewWindowController::close);
    m_shareButton = makeButton(u"previewShareButton"_s, u"share-icon"_s, u"Share"_s);
    m_shareButton->setVisible(ShareManager::sharePossible());
    connect(m_shareButton, &QToolButton::pressed, this, &VTPreviewWindowController::shareAction);

    m_shareMenu = new QMenu(m_window);
    m_shareMenu->setObjectName(u"previewShareMenu"_s);
    connect(m_shareMenu, &QMenu::aboutToHide, this, [this] {
        m_shareButton->setDown(false);
        unlock();
    });
    m_window->installEventFilter(this);
}

QToolButton *VTPreviewWindowController::makeButton(const QString &objectName, const QString &imageName,
                                                   const QString &toolTip)
{
    auto *button = new QToolButton(m_bubble);
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(ImageTinting::imageNamed(imageName, buttonColor));
    button->setIconSize(QSize(PreviewGeometry::buttonSize, PreviewGeometry::buttonSize));
    button->setFixedSize(PreviewGeometry::buttonSize, PreviewGeometry::buttonSize);
    button->setStyleSheet(u"QToolButton { border: none; background: transparent; padding: 0px; }"_s);
    return button;
}

void VTPreviewWindowController::observeSettings()
{
    m_defaults.observe(SettingsKey::alwaysOnTop, this,
                       [this](const QVariant &value) { setAlwaysOnTop(value.toBool()); });
    m_defaults.observe(SettingsKey::fontSize, this, [this](const QVariant &) { fontSizeChanged(); });
    m_defaults.observe(SettingsKey::fontName, this, [this](const QVariant &) {
        if (m_item)
            setDataItem(m_item);
    });
}

void VTPreviewWindowController::setAlwaysOnTop(bool onTop)
{
    const bool visible = m_window->isVisible();
    m_window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // A window whose flags change leaves the screen; a preview on it stays.
    if (visible)
        m_window->show();
}

void VTPreviewWindowController::fontSizeChanged()
{
    const int size = int(std::lround(m_defaults.doubleForKey(SettingsKey::fontSize)));
    if (m_item && size != m_prevFontSize) {
        m_prevFontSize = size;
        setDataItem(m_item);
    }
}

void VTPreviewWindowController::applyFont()
{
    int size = int(std::lround(m_defaults.doubleForKey(SettingsKey::fontSize)));
    m_prevFontSize = size;
    // A size below one would make the text vanish.
    if (size < 1)
        size = fallbackFontSize;
    QFont font(m_defaults.stringForKey(SettingsKey::fontName));
    font.setPointSize(size);
    m_webView->setContentFont(font);
}

void VTPreviewWindowController::setDataItem(const DataItemPtr &item)
{
    if (m_locked)
        return;
    if (!item) {
        close();
        return;
    }
    _positionButtons();
    m_timer.stop();
    m_hideDeferred = false;

    const bool wasVisible = m_window->isVisible();
    if (!wasVisible)
        ViewAlpha::set(m_bubble, 0);
    m_window->show();
    m_window->raise();

    applyFont();
    startImagesFor(item);
    m_item = item;
    m_document.emplace(*item, m_options.content);

    m_webView->hide();
    // The entry shown before would otherwise be laid out again when the view takes its new size.
    m_webView->load(PreviewDocument::blank());
    _setContentSize(
        roundedUp(m_webView->measure(_htmlContentWithScroller(false), PreviewGeometry::measureWidth)));
    didFinishMeasuring(wasVisible);
}

void VTPreviewWindowController::startImagesFor(const DataItemPtr &item)
{
    if (m_imagesEntry.lock() == item)
        return;
    m_imagesEntry = item;
    const int width = PreviewHtmlView::imageWidthFor(PreviewGeometry::measureWidth);
    m_webView->setImageWidth(width);
    m_webView->images().startEntry(width, m_window->devicePixelRatioF());
}

void VTPreviewWindowController::didFinishMeasuring(bool animate)
{
    _resizeWindow(animate);
    // The scroll-bar styles are all that set the two texts apart, and they are a web view's, which
    // this view, with a scroll bar of its own, does not apply: the measured document is the one.
    m_webView->showMeasured(_htmlContentWithScroller(PreviewGeometry::needsScroller(m_contentSize)));
    m_window->raise();
    m_window->activateWindow();
    m_webView->show();
    m_webView->setFocus();
}

QString VTPreviewWindowController::_htmlContentWithScroller(bool scroller) const
{
    return m_document->htmlContentWithScroller(scroller);
}

void VTPreviewWindowController::_setContentSize(const QSize &size)
{
    m_contentSize = size;
}

void VTPreviewWindowController::imageShown()
{
    // Content that scrolls already fills the largest window: the view lays it out again by itself.
    if (!m_item || PreviewGeometry::needsScroller(m_contentSize))
        return;
    const QSize measured = roundedUp(m_webView->remeasure(PreviewGeometry::measureWidth));
    if (measured == m_contentSize)
        return;
    _setContentSize(measured);
    _resizeWindow(true);
}

void VTPreviewWindowController::setArrowLocation(const QPoint &screenPoint, bool showOnLeft)
{
    if (m_locked)
        return;
    m_arrowLocation = screenPoint;
    m_arrowOnLeft = showOnLeft;
    if (m_item)
        _positionWindow();
    _positionArrow();
}

void VTPreviewWindowController::_positionWindow()
{
    if (m_locked)
        return;
    finishFrameAnimation();
    const BottomUpGeometry desktop = BottomUpGeometry::desktop();
    const QRect frame = desktop.rect(m_window->geometry());
    const QPoint arrow = desktop.point(m_arrowLocation);
    const QRect followed = PreviewGeometry::followedFrame(frame, arrow, m_arrowOnLeft);
    if (followed != frame)
        m_window->setGeometry(desktop.rect(followed));
    if (PreviewGeometry::leavesScreen(followed, arrow, desktop.rect(screen()->geometry())))
        close();
}

void VTPreviewWindowController::_resizeWindow(bool animate)
{
    if (m_locked)
        return;
    const BottomUpGeometry desktop = BottomUpGeometry::desktop();
    const QSize size = PreviewGeometry::windowSize(m_contentSize);
    const QRect frame = desktop.rect(PreviewGeometry::resizedFrame(
        size, desktop.point(m_arrowLocation), m_arrowOnLeft, desktop.rect(screen()->availableGeometry())));
    m_webView->setGeometry(
        BottomUpGeometry(size.height()).rect(PreviewGeometry::webViewFrame(size, m_arrowOnLeft)));

    finishFrameAnimation();
    if (animate && m_window->geometry() != frame) {
        auto *animation = new QPropertyAnimation(m_window, "geometry", this);
        animation->setDuration(m_options.resizeDurationMs);
        animation->setEasingCurve(AnimationTiming::easeIn());
        animation->setEndValue(frame);
        m_frameAnimation = animation;
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        m_window->setGeometry(frame);
    }
    ViewAlpha::animate(m_bubble, 1.0, m_options.fadeDurationMs);
    _positionArrow();
}

void VTPreviewWindowController::finishFrameAnimation()
{
    if (!m_frameAnimation)
        return;
    const QRect end = m_frameAnimation->endValue().toRect();
    m_frameAnimation->stop();
    m_window->setGeometry(end);
}

void VTPreviewWindowController::_positionArrow()
{
    if (m_locked)
        return;
    const BottomUpGeometry desktop = BottomUpGeometry::desktop();
    const QRect frame = desktop.rect(m_window->geometry());
    m_bubble->setShowOnLeft(m_arrowOnLeft);
    m_bubble->setArrowLocation(QPointF(0, desktop.point(m_arrowLocation).y() - frame.y()));
}

void VTPreviewWindowController::_positionButtons()
{
    const QSize size = m_window->size();
    const BottomUpGeometry window(size.height());
    const PreviewGeometry::ButtonFrames frames = PreviewGeometry::buttonFrames(size, m_arrowOnLeft);
    m_openButton->setGeometry(window.rect(frames.open));
    m_shareButton->setGeometry(window.rect(frames.share));
    m_closeButton->setGeometry(window.rect(frames.close));
}

void VTPreviewWindowController::windowDidResize()
{
    m_bubble->setGeometry(m_window->rect());
    _positionArrow();
    _positionButtons();
}

void VTPreviewWindowController::close()
{
    if (m_locked)
        return;
    m_item.reset();
    m_document.reset();
    m_webView->hide();
    ViewAlpha::animate(m_bubble, 0, m_options.fadeDurationMs);
    m_timer.start(m_options.hideDelayMs);
}

void VTPreviewWindowController::hide()
{
    if (m_locked) {
        m_hideDeferred = true;
        return;
    }
    m_hideDeferred = false;
    m_webView->load(PreviewDocument::blank());
    m_imagesEntry.reset();
    m_webView->images().reset();
    finishFrameAnimation();
    m_window->hide();
}

void VTPreviewWindowController::lock()
{
    m_locked = true;
    qCDebug(lcPreview, "%d", 1);
}

void VTPreviewWindowController::unlock()
{
    m_locked = false;
    qCDebug(lcPreview, "%d", 0);
    // A hide that came due while locked would otherwise leave an invisible window on the screen.
    if (m_hideDeferred && !m_item)
        hide();
}

void VTPreviewWindowController::openAction()
{
    if (m_item)
        m_browser.openInBrowser(m_item->link());
    close();
}

void VTPreviewWindowController::shareAction()
{
    if (!m_item)
        return;
    m_shareMenu->clear();
    const QList<QAction *> entries = m_sharing.shareItem(m_item, m_shareMenu);
    if (entries.isEmpty()) {
        m_shareButton->setDown(false);
        return;
    }
    m_shareMenu->addActions(entries);
    lock();
    m_shareMenu->popup(m_shareButton->mapToGlobal(QPoint(0, m_shareButton->height())));
}

void VTPreviewWindowController::linkClicked(const QUrl &url)
{
    // A link to a place in the entry itself scrolls there.
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
        m_webView->scrollToAnchor(url.fragment());
        return;
    }
    _sendBrowserRequest(url);
}

// Shift held while clicking asks for the browser to stay in the background. The desktop's URL
// handler (xdg-open) offers no such choice, and whether a browser comes forward is up to it and
// the window manager, so a Shift-click opens the link as a click does.
bool VTPreviewWindowController::_sendBrowserRequest(const QUrl &url)
{
    if (m_browser.openWithWorkspace(url))
        return true;
    // A refused link has beeped already; one the desktop failed to open beeps here.
    if (LinkPolicy::isOpenable(url))
        m_beeper.beep();
    return false;
}

bool VTPreviewWindowController::handleKey(int key)
{
    switch (key) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openAction();
        return true;
    default:
        return false;
    }
}

bool VTPreviewWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Resize)
            windowDidResize();
        else if (event->type() == QEvent::Move)
            _positionArrow();
    }
    if (event->type() == QEvent::KeyPress && (watched == m_window || watched == m_webView)) {
        if (handleKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

QScreen *VTPreviewWindowController::screen() const
{
    if (QScreen *atArrow = QGuiApplication::screenAt(m_arrowLocation))
        return atArrow;
    if (QScreen *own = m_window->screen())
        return own;
    return QGuiApplication::primaryScreen();
}
