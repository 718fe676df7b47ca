#include "ticker/bar/barcolumn.h"

#include "ui/drawing/bottomupgeometry.h"

#include <QLineEdit>
#include <QPropertyAnimation>

#include <algorithm>

BarColumn::BarColumn(QWidget &content, QWidget &scrollView, QWidget &counter, QLineEdit &searchField)
    : m_content(content), m_scrollView(scrollView), m_counter(counter), m_searchField(searchField)
{
}

QRect BarColumn::searchFrame() const
{
    return BottomUpGeometry(m_content.height())
        .rect(5, searchFieldMargin, m_content.width() - 10, searchFieldHeight);
}

bool BarColumn::isSearchShown() const
{
    return m_searchField.isEnabled();
}

bool BarColumn::isCounterPresent() const
{
    return m_counter.isEnabled();
}

QRect BarColumn::scrollFrame() const
{
    return topDown(m_scrollView.geometry());
}

QRect BarColumn::counterFrame() const
{
    return topDown(m_counter.geometry());
}

int BarColumn::scrollHeight(VerticalLayout::Operation operation, bool counterPresent) const
{
    return VerticalLayout::scrollHeight(operation, counterPresent, isSearchShown(), searchFrame());
}

void BarColumn::setScrollHeight(int height, int durationMs)
{
    setFrame(m_scrollView, QRect(0, 0, m_content.width(), std::max(0, height)), durationMs);
}

void BarColumn::setCounterFrame(const QRect &frame, int durationMs)
{
    setFrame(m_counter, frame, durationMs);
}

void BarColumn::fix(bool counterPresent)
{
    const int height = scrollHeight(VerticalLayout::Operation::Fix, counterPresent);
    setScrollHeight(height, 0);
    setCounterFrame(QRect(0, height, m_content.width(), counterPresent ? VerticalLayout::counterHeight : 0),
                    0);
    m_searchField.setGeometry(topDown(searchFrame()));
}

QRect BarColumn::topDown(const QRect &bottomUp) const
{
    return BottomUpGeometry(m_content.height()).rect(bottomUp);
}

void BarColumn::setFrame(QWidget &widget, const QRect &bottomUp, int durationMs)
{
    const QRect target = topDown(bottomUp);
    for (auto *running : widget.findChildren<QPropertyAnimation *>(Qt::FindDirectChildrenOnly)) {
        if (running->propertyName() == "geometry")
            running->stop();
    }
    if (duration(durationMs) <= 0 || widget.geometry() == target) {
        widget.setGeometry(target);
        return;
    }
    auto *animation = new QPropertyAnimation(&widget, "geometry", &widget);
    animation->setDuration(duration(durationMs));
    animation->setEndValue(target);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
