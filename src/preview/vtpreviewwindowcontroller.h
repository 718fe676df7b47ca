#pragma once

#include "preview/contentsanitizer.h"
#include "preview/entrypreview.h"
#include "preview/previewdocument.h"
#include "preview/previewimageloader.h"
#include "ui/animation/animationtiming.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class BrowserSupport;
class PreviewHtmlView;
class QMenu;
class QPropertyAnimation;
class QScreen;
class QToolButton;
class ShareManager;
class SoundPlayer;
class UserDefaults;
class VTPreviewBubbleView;

// The pop-up preview of an entry: a borderless speech-bubble window beside the bar that shows the
// entry's title and content as HTML, sized to the content (at most 432 high, scrolling beyond),
// with an open button (the entry in the browser), a share button (the share menu) and a close
// button. Links clicked in it go to the browser; the preview itself never navigates.
//
// Showing an entry lays its document out twice: once at 300 wide to measure it, then at the size
// the window gets from that measure. Closing fades the preview out and takes the window off the
// screen a second later; an entry shown within that second appears without the window leaving.
//
// Keyboard: Escape closes, Return opens the entry in the browser, the arrow keys scroll.
//
// Follows the settings alwaysOnTop (window level), fontSize and fontName (the entry is shown
// again). Main thread only.
class VTPreviewWindowController : public QObject, public EntryPreview {
    Q_OBJECT

public:
    struct Options {
        int hideDelayMs = 1000;
        int fadeDurationMs = AnimationTiming::defaultDurationMs;
        int resizeDurationMs = 100;
        PreviewImageLoader::Limits images;
        ContentSanitizer::Limits content;
    };

    // The first controller made becomes the shared instance until it is destroyed.
    VTPreviewWindowController(UserDefaults &defaults, BrowserSupport &browser, ShareManager &sharing,
                              SoundPlayer &beeper, const Options &options, QObject *parent = nullptr);
    VTPreviewWindowController(UserDefaults &defaults, BrowserSupport &browser, ShareManager &sharing,
                              SoundPlayer &beeper)
        : VTPreviewWindowController(defaults, browser, sharing, beeper, Options())
    {
    }
    ~VTPreviewWindowController() override;

    // The application's preview, on the standard settings, browser hand-off, share menu and sounds;
    // made on first use (on the main thread, after the application object, which then owns it).
    static VTPreviewWindowController &sharedInstance();

    DataItemPtr dataItem() const override { return m_item; }
    void setDataItem(const DataItemPtr &item) override;
    void setArrowLocation(const QPoint &screenPoint, bool showOnLeft) override;
    void close() override;
    void lock() override;
    void unlock() override;
    bool isLocked() const override { return m_locked; }

    // Blanks the view and takes the window off the screen (the end of a close).
    void hide();
    // The entry in the browser, then close.
    void openAction();
    // The share menu below the share button. The preview holds still while the menu is open.
    void shareAction();

    QWidget *window() const { return m_window; }
    VTPreviewBubbleView *bubbleView() const { return m_bubble; }
    PreviewHtmlView *webView() const { return m_webView; }
    QToolButton *openButton() const { return m_openButton; }
    QToolButton *shareButton() const { return m_shareButton; }
    QToolButton *closeButton() const { return m_closeButton; }
    QMenu *shareMenu() const { return m_shareMenu; }
    // The size of the shown entry's document laid out 300 wide.
    QSize contentSize() const { return m_contentSize; }
    bool isHidePending() const { return m_timer.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QToolButton *makeButton(const QString &objectName, const QString &imageName, const QString &toolTip);
    void observeSettings();
    void setAlwaysOnTop(bool onTop);
    void fontSizeChanged();
    void applyFont();
    void startImagesFor(const DataItemPtr &item);

    QString _htmlContentWithScroller(bool scroller) const;
    void _setContentSize(const QSize &size);
    void didFinishMeasuring(bool animate);
    void imageShown();
    void _positionWindow();
    void _resizeWindow(bool animate);
    void _positionArrow();
    void _positionButtons();
    void windowDidResize();
    void linkClicked(const QUrl &url);
    bool _sendBrowserRequest(const QUrl &url);
    bool handleKey(int key);

    QScreen *screen() const;
    void finishFrameAnimation();

    UserDefaults &m_defaults;
    BrowserSupport &m_browser;
    ShareManager &m_sharing;
    SoundPlayer &m_beeper;
    Options m_options;

    QPointer<QWidget> m_window;
    VTPreviewBubbleView *m_bubble = nullptr;
    PreviewHtmlView *m_webView = nullptr;
    QToolButton *m_openButton = nullptr;
    QToolButton *m_closeButton = nullptr;
    QToolButton *m_shareButton = nullptr;
    QMenu *m_shareMenu = nullptr;
    QPointer<QPropertyAnimation> m_frameAnimation;

    DataItemPtr m_item;
    // The shown entry's document, sanitized once for both passes.
    std::optional<PreviewDocument> m_document;
    // The entry whose images the view holds; they are kept while it is shown again.
    std::weak_ptr<DataItem> m_imagesEntry;
    QPoint m_arrowLocation; // global, top-down
    bool m_arrowOnLeft = true;
    QSize m_contentSize;
    QTimer m_timer;
    int m_prevFontSize = 0;
    bool m_locked = false;
    // A hide that came due while the preview was locked, run at unlock.
    bool m_hideDeferred = false;
};
