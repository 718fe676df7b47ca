#include "ticker/bar/unseenlist.h"

#include "ticker/bar/barcolumn.h"
#include "ticker/bar/rowrecycler.h"
#include "ticker/rows/dataitemview.h"
#include "ticker/widgets/listview.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

UnseenList::UnseenList(BarColumn &column, QPushButton &counter, QWidget &scrollView)
    : m_column(column), m_counter(counter), m_scrollView(scrollView)
{
}

void UnseenList::add(const DataItemPtr &item)
{
    if (!m_items.contains(item))
        m_items.prepend(item);
}

void UnseenList::update(const ListView &list)
{
    pruneSeen(list);
    const auto count = int(m_items.size());
    if (count != m_prevNewCount) {
        m_prevNewCount = count;
        writeTitle(count);
    }
    if (count != 0 && !m_counter.isEnabled())
        appear();
    else if (count == 0 && m_counter.isEnabled())
        disappear();
}

void UnseenList::setTitleStyle(const QColor &color, const QFont &font)
{
    m_titleColor = color;
    m_titleFont = font;
}

// A row is seen when the point its preview arrow would take lies strictly inside the scroll view.
void UnseenList::pruneSeen(const ListView &list)
{
    if (m_items.isEmpty())
        return;
    const QWidget *window = m_scrollView.window();
    const QRect scroll = m_scrollView.geometry();
    for (const DataItemView *row : RowRecycler::rows(list)) {
        const qsizetype at = m_items.indexOf(row->dataItem());
        if (at < 0)
            continue;
        const int y = window->mapFromGlobal(row->arrowLocation()).y();
        if (y > scroll.top() && y < scroll.top() + scroll.height())
            m_items.resize(at);
    }
}

void UnseenList::writeTitle(int count)
{
    m_counter.setText(count ? u"%1 new"_s.arg(count) : QString());
    if (!m_titleColor.isValid())
        return;
    QPalette palette = m_counter.palette();
    palette.setColor(QPalette::ButtonText, m_titleColor);
    m_counter.setPalette(palette);
    QFont font = m_titleFont;
    font.setPointSizeF(12);
    m_counter.setFont(font);
}

void UnseenList::appear()
{
    const QRect scroll = m_column.scrollFrame();
    const int top = scroll.y() + scroll.height();
    const int width = scroll.width();
    m_column.setCounterFrame(QRect(0, top, width, 0), 0);
    const int duration = BarColumn::animatorDurationMs;
    m_column.setScrollHeight(m_column.scrollHeight(VerticalLayout::Operation::CounterAppearing, true),
                             duration);
    m_counter.show();
    m_counter.setEnabled(true);
    m_column.setCounterFrame(
        QRect(0, top - VerticalLayout::counterHeight, width, VerticalLayout::counterHeight), duration);
}

void UnseenList::disappear()
{
    m_counter.setText(QString());
    m_counter.setEnabled(false);
    const int height = m_column.scrollHeight(VerticalLayout::Operation::CounterDisappearing, false);
    const int duration = BarColumn::animatorDurationMs;
    const QRect scroll = m_column.scrollFrame();
    m_column.setScrollHeight(height, duration);
    m_column.setCounterFrame(QRect(0, scroll.y() + height, scroll.width(), 0), duration);
}
