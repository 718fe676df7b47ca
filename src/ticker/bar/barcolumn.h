#pragma once

#include "ticker/bar/verticallayout.h"

#include <QRect>

class QLineEdit;
class QWidget;

// The bar's column in place: the scroll view of the list, the unseen counter and the search
// field inside the window's content, their frames given bottom-up as the layout numbers are.
// Changes are animated unless the durations are zero (reduced motion).
class BarColumn {
public:
    static constexpr int searchFieldHeight = 22;
    static constexpr int searchFieldMargin = 4;
    static constexpr int animatorDurationMs = 250;

    BarColumn(QWidget &content, QWidget &scrollView, QWidget &counter, QLineEdit &searchField);

    // The search field's frame: pinned to the top of the content, 5 pixels in from the sides.
    QRect searchFrame() const;
    bool isSearchShown() const;
    bool isCounterPresent() const;
    QRect scrollFrame() const;
    QRect counterFrame() const;

    // The scroll view's height for `operation`, with the counter present or not.
    int scrollHeight(VerticalLayout::Operation operation, bool counterPresent) const;

    // The scroll view from y 0 up to `height`, full width.
    void setScrollHeight(int height, int durationMs);
    void setCounterFrame(const QRect &frame, int durationMs);

    // Lays the whole column out again at once (start-up, a resized window); `counterPresent`
    // when there are unseen headlines.
    void fix(bool counterPresent);

    void setReduceMotion(bool reduce) { m_reduceMotion = reduce; }
    // `durationMs`, or 0 with reduced motion.
    int duration(int durationMs) const { return m_reduceMotion ? 0 : durationMs; }

private:
    QRect topDown(const QRect &bottomUp) const;
    void setFrame(QWidget &widget, const QRect &bottomUp, int durationMs);

    QWidget &m_content;
    QWidget &m_scrollView;
    QWidget &m_counter;
    QLineEdit &m_searchField;
    bool m_reduceMotion = false;
};
