#pragma once

#include <QStyledItemDelegate>

// Draws a feed's address as a text cell does, and under it the feed's status line (when it was
// last updated, or its error) in a small font, cut off with an ellipsis when the row is narrow.
class RSSPrefCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int statusOffsetX = 2;
    static constexpr int statusOffsetY = 36;
    static constexpr int statusHeight = 12;
    static constexpr int addressHeight = 18;
    static constexpr int statusPointSize = 10;
    static constexpr int rowHeight = statusOffsetY + statusHeight + 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where the status line of a cell with this frame is drawn.
    static QRect statusRect(const QRect &cellFrame);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
