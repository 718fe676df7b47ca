#pragma once

#include "preview/previewimageloader.h"

#include <QFont>
#include <QPointer>
#include <QSizeF>
#include <QTextBrowser>

class QTextDocument;

// The preview's HTML view: shows a document and nothing else. It never navigates (a clicked link
// is reported, not followed), runs no scripts, and loads no resource but the document's images,
// which arrive asynchronously through its PreviewImageLoader: a placeholder at once, the image when
// it has come. No other resource (style sheets, local files) is ever read.
//
// It draws no background of its own, and its default colours stay readable on the light bubble
// whatever the desktop's palette; its scroll bar is thin.
class PreviewHtmlView : public QTextBrowser {
    Q_OBJECT

public:
    // Space between the view's edges and the text.
    static constexpr qreal documentMargin = 8;

    explicit PreviewHtmlView(const PreviewImageLoader::Limits &imageLimits = {}, QWidget *parent = nullptr);

    // Wider images are shown scaled down to this width; 0 leaves them as they are.
    void setImageWidth(int width) { m_imageWidth = width; }
    // The font of text the document gives no font.
    void setContentFont(const QFont &font) { m_font = font; }
    QFont contentFont() const { return m_font; }

    // Lays the document out at `width` without showing it, and returns its size. The images it
    // asks for start loading.
    QSizeF measure(const QString &html, qreal width);
    // Shows the document at the view's width.
    void load(const QString &html);
    // Shows the document measured last, as the document `html`, at the view's width. `html` may
    // differ from the measured text only in what this view does not apply (the scroll-bar
    // styles of a web view): the measured document is not parsed again.
    void showMeasured(const QString &html);
    // The document shown, laid out again at `width`: its size with the images that have arrived.
    QSizeF remeasure(qreal width);
    // The text of the document shown.
    QString loadedHtml() const { return m_loadedHtml; }

    PreviewImageLoader &images() { return m_images; }

    // The desktop's colours where they are readable on the bubble's light body, else dark text and
    // blue links.
    static QPalette readablePalette(const QPalette &desktop);

    // The width images are scaled down to in a document laid out at `width`.
    static int imageWidthFor(qreal width) { return int(width - 2 * documentMargin); }

Q_SIGNALS:
    // A link was clicked. The view stays as it is.
    void linkClicked(const QUrl &url);
    // An image arrived and the document shows it.
    void imageShown();

protected:
    QVariant loadResource(int type, const QUrl &name) override;
    void changeEvent(QEvent *event) override;

private:
    QTextDocument *newDocument(const QString &html, qreal width);
    void display(QTextDocument *document, const QString &html);
    static void fitImages(QTextDocument *document, int maxWidth);
    void showImage(const QUrl &url, const QImage &image);
    static void layOutImagesAgain(QTextDocument *document, const QUrl &url);
    void applyPalette();
    void styleScrollBars();

    PreviewImageLoader m_images;
    QFont m_font;
    bool m_scrollBarsStyled = false;
    int m_imageWidth = 0;
    QString m_loadedHtml;
    QPointer<QTextDocument> m_measured;
};
