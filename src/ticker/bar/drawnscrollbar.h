#pragma once

#include <QObject>
#include <QRect>

class QTimer;
class QWidget;
class ScrollBarView;

// The bar's own slim scroll bar over the right side of the list's scroll view: sized to the part
// of the list in view, placed where that part stands, and faded out 3 seconds after its last move.
class DrawnScrollBar : public QObject {
    Q_OBJECT

public:
    static constexpr int hideDelayMs = 3000;
    static constexpr int minimumHeight = 20;
    static constexpr int fadeDurationMs = 250;

    // The bar becomes a child of `scrollView`, on top of the list.
    explicit DrawnScrollBar(QWidget &scrollView, QObject *parent = nullptr);

    ScrollBarView *view() const { return m_view; }

    // `list` is the list's height; `visible` the part in view, bottom-up in the list.
    void updateScrollHeight(int list, const QRect &visible);
    void updateScrollBar(int list, const QRect &visible);
    void hideScrollBar();

    void setReduceMotion(bool reduce) { m_reduceMotion = reduce; }

private:
    QWidget &m_scrollView;
    ScrollBarView *m_view;
    QTimer *m_hideTimer;
    bool m_reduceMotion = false;
};
