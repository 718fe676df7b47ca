#include "ticker/widgets/flippedclipview.h"

#include <QScrollBar>

FlippedClipView::FlippedClipView(QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("flippedClipView"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
}

void FlippedClipView::setDocumentView(QWidget *view)
{
    setWidget(view);
    view->setAutoFillBackground(false);
}

void FlippedClipView::scrollToPoint(const QPoint &point)
{
    horizontalScrollBar()->setValue(point.x());
    verticalScrollBar()->setValue(point.y());
}

QRect FlippedClipView::documentVisibleRect() const
{
    const QRect inView(horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(),
                       viewport()->height());
    return widget() ? inView & QRect(QPoint(0, 0), widget()->size()) : inView;
}

void FlippedClipView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    Q_EMIT boundsDidChange();
}

void FlippedClipView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    Q_EMIT boundsDidChange();
}
