#include "app/fixedzoomtextbrowser.h"

#include <QKeyEvent>
#include <QWheelEvent>

FixedZoomTextBrowser::FixedZoomTextBrowser(QWidget *parent)
    : QTextBrowser(parent), m_basePointSize(font().pointSizeF())
{
    applyZoom();
}

qreal FixedZoomTextBrowser::scaleFactorFor(qreal)
{
    return zoom;
}

qreal FixedZoomTextBrowser::documentPointSize() const
{
    return document()->defaultFont().pointSizeF();
}

void FixedZoomTextBrowser::applyZoom()
{
    // The size comes from construction: zoomIn() and zoomOut() work by changing the widget's font.
    QFont font = this->font();
    font.setPointSizeF(m_basePointSize * scaleFactorFor(zoom));
    document()->setDefaultFont(font);
}

void FixedZoomTextBrowser::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        event->accept();
        return;
    }
    QTextBrowser::wheelEvent(event);
}

void FixedZoomTextBrowser::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::ZoomIn) || event->matches(QKeySequence::ZoomOut)) {
        event->accept();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

bool FixedZoomTextBrowser::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture || event->type() == QEvent::Gesture) {
        event->accept();
        return true;
    }
    return QTextBrowser::event(event);
}

void FixedZoomTextBrowser::changeEvent(QEvent *event)
{
    QTextBrowser::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyZoom();
}
