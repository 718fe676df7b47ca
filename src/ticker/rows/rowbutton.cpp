#include "ticker/rows/rowbutton.h"

#include "ticker/rows/dataitemview.h"

#include <QPainter>

RowButton::RowButton(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(16, 16));
}

void RowButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    icon().paint(&painter, rect(), Qt::AlignCenter, QIcon::Normal, isChecked() ? QIcon::On : QIcon::Off);
}

bool RowButton::hitButton(const QPoint &pos) const
{
    if (!QAbstractButton::hitButton(pos))
        return false;
    const QWidget *row = parentWidget();
    return !row || mapTo(row, pos).x() <= row->width() - DataItemView::inertStripWidth;
}
