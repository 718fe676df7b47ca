#pragma once

#include "model/entry/dataitem.h"

#include <QColor>
#include <QFont>
#include <QList>

class BarColumn;
class ListView;
class QPushButton;
class QWidget;

// The headlines that came in while the user looked elsewhere, newest first, and their count in
// the "%d new" bar above the list. The bar slides in with the first one and collapses when the
// last one has been seen.
class UnseenList {
public:
    UnseenList(BarColumn &column, QPushButton &counter, QWidget &scrollView);

    const QList<DataItemPtr> &items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }

    // Adds the headline at the front unless it is there, then updates.
    void add(const DataItemPtr &item);
    void clear() { m_items.clear(); }

    // Forgets the headlines whose rows are in view, and every older one, then shows or hides the
    // counter. `list` holds the rows.
    void update(const ListView &list);

    // The title's colour and font; an invalid colour leaves the title plain.
    void setTitleStyle(const QColor &color, const QFont &font);
    // Writes the title again at the next update.
    void forgetCount() { m_prevNewCount = 0; }

private:
    void pruneSeen(const ListView &list);
    void writeTitle(int count);
    void appear();
    void disappear();

    BarColumn &m_column;
    QPushButton &m_counter;
    QWidget &m_scrollView;
    QList<DataItemPtr> m_items;
    int m_prevNewCount = 0;
    QColor m_titleColor;
    QFont m_titleFont;
};
