#include "preview/previewhtmlview.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// What every document gets before its own styles: preformatted text wraps like the rest, and the
// title is about the size of the text (the document asks for 108 %, a unit this view's styles
// lack, so its own rule is ignored).
const QString defaultStyleSheet = u"pre { white-space: pre-wrap; } h1 { font-size: medium; }"_s;

// Thin, and set in from the view's edge so that it stays inside the bubble.
const QString scrollBarStyle = uR"(
QScrollBar:vertical { width: 12px; margin: 4px 6px 4px 0px; background: transparent; }
QScrollBar:horizontal { height: 12px; margin: 0px 4px 6px 4px; background: transparent; }
QScrollBar::handle { background: rgba(0, 0, 0, 0.35); border-radius: 3px; }
QScrollBar::handle:vertical { min-height: 24px; }
QScrollBar::handle:horizontal { min-width: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; }
QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }
)"_s;

// The bubble's body is light grey; text on it needs this much contrast to be read with ease.
const QColor bodyColor = QColor::fromRgbF(0.945f, 0.945f, 0.945f);
constexpr double readableContrast = 4.5;
const QColor fallbackText(0x1a, 0x1a, 0x1a);
const QColor fallbackLink(0x0b, 0x57, 0xd0);

double relativeLuminance(const QColor &color)
{
    const auto linear = [](float c) {
        return c <= 0.03928f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOr(const QColor &color, const QColor &fallback)
{
    return contrast(color, bodyColor) >= readableContrast ? color : fallback;
}

// Qt's rich-text parser keeps whatever follows an unclosed <head> out of the body, where a browser
// ends the head at the first element that cannot be in it. End it there.
QString withHeadEnded(const QString &html)
{
    const qsizetype head = html.indexOf("<head>"_L1, 0, Qt::CaseInsensitive);
    if (head < 0)
        return html;
    qsizetype at = head + 6;
    const auto startsWith = [&](QLatin1StringView text) {
        return QStringView(html).mid(at).startsWith(text, Qt::CaseInsensitive);
    };
    const auto skipPast = [&](QLatin1StringView terminator) {
        const qsizetype found = html.indexOf(terminator, at, Qt::CaseInsensitive);
        at = found < 0 ? html.size() : found + terminator.size();
    };
    while (at < html.size()) {
        if (html[at].isSpace())
            ++at;
        else if (startsWith("<style"_L1))
            skipPast("</style>"_L1);
        else if (startsWith("<title"_L1))
            skipPast("</title>"_L1);
        else if (startsWith("<meta"_L1) || startsWith("<link"_L1))
            skipPast(">"_L1);
        else
            break;
    }
    if (startsWith("</head>"_L1))
        return html;
    return html.left(at) + "</head>"_L1 + html.mid(at);
}

} // namespace

PreviewHtmlView::PreviewHtmlView(const PreviewImageLoader::Limits &imageLimits, QWidget *parent)
    : QTextBrowser(parent), m_images(imageLimits)
{
    setObjectName(u"previewHtmlView"_s);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    // Links by mouse only: Return belongs to the preview (open the entry), not to a focused link.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    applyPalette();

    connect(this, &QTextBrowser::anchorClicked, this, &PreviewHtmlView::linkClicked);
    connect(&m_images, &PreviewImageLoader::imageArrived, this, &PreviewHtmlView::showImage);
}

// Styled with the first document: a style sheet is parsed and polished at once, which would
// cost the program's start for a preview that may not open for hours.
void PreviewHtmlView::styleScrollBars()
{
    if (m_scrollBarsStyled)
        return;
    m_scrollBarsStyled = true;
    verticalScrollBar()->setStyleSheet(scrollBarStyle);
    horizontalScrollBar()->setStyleSheet(scrollBarStyle);
}

QTextDocument *PreviewHtmlView::newDocument(const QString &html, qreal width)
{
    styleScrollBars();
    // Its parent is the view, so that it asks the view for its resources.
    auto *document = new QTextDocument(this);
    document->setDefaultFont(m_font);
    document->setDefaultStyleSheet(defaultStyleSheet);
    document->setDocumentMargin(documentMargin);
    document->setTextWidth(width);
    document->setHtml(withHeadEnded(html));
    fitImages(document, m_imageWidth);
    return document;
}

QSizeF PreviewHtmlView::measure(const QString &html, qreal width)
{
    delete m_measured;
    m_measured = newDocument(html, width);
    return m_measured->size();
}

void PreviewHtmlView::load(const QString &html)
{
    delete m_measured;
    display(newDocument(html, viewport()->width()), html);
}

void PreviewHtmlView::showMeasured(const QString &html)
{
    if (!m_measured) {
        load(html);
        return;
    }
    QTextDocument *measured = m_measured;
    m_measured = nullptr;
    display(measured, html);
}

void PreviewHtmlView::display(QTextDocument *document, const QString &html)
{
    // The control deletes a document of its own when it is replaced; ours go here.
    const QPointer<QTextDocument> previous = this->document();
    setDocument(document);
    if (previous && previous != document && previous->parent() == this)
        delete previous;
    m_loadedHtml = html;
}

QSizeF PreviewHtmlView::remeasure(qreal width)
{
    QTextDocument *shown = document();
    shown->setTextWidth(width);
    const QSizeF size = shown->size();
    shown->setTextWidth(viewport()->width());
    return size;
}

void PreviewHtmlView::fitImages(QTextDocument *document, int maxWidth)
{
    if (maxWidth <= 0)
        return;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            QTextImageFormat format = piece.charFormat().toImageFormat();
            if (!format.isValid() || format.width() <= maxWidth)
                continue;
            if (format.height() > 0)
                format.setHeight(format.height() * maxWidth / format.width());
            format.setWidth(maxWidth);
            QTextCursor cursor(document);
            cursor.setPosition(piece.position());
            cursor.setPosition(piece.position() + piece.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

QVariant PreviewHtmlView::loadResource(int type, const QUrl &name)
{
    // Never an empty answer: the document would then read the name as a local file.
    if (type == QTextDocument::ImageResource)
        return m_images.image(name);
    return QString();
}

void PreviewHtmlView::showImage(const QUrl &url, const QImage &image)
{
    for (QTextDocument *shown : {document(), m_measured.data()}) {
        if (!shown)
            continue;
        shown->addResource(QTextDocument::ImageResource, url, image);
        layOutImagesAgain(shown, url);
    }
    Q_EMIT imageShown();
}

void PreviewHtmlView::layOutImagesAgain(QTextDocument *document, const QUrl &url)
{
    // Only the blocks that show the image: a long document is not laid out again for each image.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            const QTextImageFormat format = piece.charFormat().toImageFormat();
            if (format.isValid() && QUrl(format.name()) == url)
                document->markContentsDirty(piece.position(), piece.length());
        }
    }
}

void PreviewHtmlView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyPalette();
    QTextBrowser::changeEvent(event);
}

void PreviewHtmlView::applyPalette()
{
    setPalette(readablePalette(QApplication::palette()));
}

QPalette PreviewHtmlView::readablePalette(const QPalette &desktop)
{
    QPalette palette = desktop;
    const QColor text = readableOr(desktop.color(QPalette::Text), fallbackText);
    const QColor link = readableOr(desktop.color(QPalette::Link), fallbackLink);
    const QColor visited = readableOr(desktop.color(QPalette::LinkVisited), link);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Link, link);
        palette.setColor(group, QPalette::LinkVisited, visited);
        palette.setColor(group, QPalette::Base, Qt::transparent);
    }
    return palette;
}
