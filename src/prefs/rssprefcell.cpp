#include "prefs/rssprefcell.h"

#include "prefs/feedtablemodel.h"

#include <QApplication>
#include <QPainter>

QRect RSSPrefCell::statusRect(const QRect &cellFrame)
{
    return QRect(cellFrame.left() + statusOffsetX, cellFrame.top() + statusOffsetY, cellFrame.width(),
                 statusHeight);
}

void RSSPrefCell::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
}

void RSSPrefCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
    // The background fills the row; the address sits just above its status line.
    QStyleOptionViewItem background = cell;
    background.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, cell.widget);
    QStyleOptionViewItem address = cell;
    address.rect = QRect(option.rect.left(), option.rect.top() + statusOffsetY - addressHeight,
                         option.rect.width(), addressHeight);
    address.backgroundBrush = Qt::NoBrush;
    address.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &address, painter, cell.widget);
    const QString status = index.data(FeedTableModel::StatusRole).toString();
    if (status.isEmpty())
        return;
    QFont font = option.font;
    font.setPointSize(statusPointSize);
    const bool selected = option.state & QStyle::State_Selected;
    const QColor text = selected ? option.palette.color(QPalette::HighlightedText)
                                 : index.data(Qt::ForegroundRole).value<QColor>();
    const QRect area = statusRect(option.rect);
    painter->save();
    painter->setFont(font);
    painter->setPen(text.isValid() ? text : option.palette.color(QPalette::Text));
    painter->drawText(area, Qt::AlignLeft | Qt::AlignTop,
                      QFontMetrics(font).elidedText(status, Qt::ElideRight, area.width() - statusOffsetX));
    painter->restore();
}

QSize RSSPrefCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), rowHeight));
    return size;
}
