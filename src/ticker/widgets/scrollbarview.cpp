#include "ticker/widgets/scrollbarview.h"

#include <QPainter>
#include <QPainterPath>

ScrollBarView::ScrollBarView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("scrollBarView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ScrollBarView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    // The outline straddles the edge: its outer half is clipped, the fill covers most of the inner half.
    painter.strokePath(path, QPen(QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f, 0.5f), 1.0));
    painter.fillPath(path, QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.8f));
}
