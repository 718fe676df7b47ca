#include "ticker/bar/drawnscrollbar.h"

#include "ticker/widgets/scrollbarview.h"
#include "ui/animation/viewalpha.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

DrawnScrollBar::DrawnScrollBar(QWidget &scrollView, QObject *parent)
    : QObject(parent), m_scrollView(scrollView), m_view(new ScrollBarView(&scrollView)),
      m_hideTimer(new QTimer(this))
{
    m_view->setGeometry(scrollView.width() - 10, 0, 5, 30);
    ViewAlpha::set(m_view, 0.0);
    m_view->show();
    m_view->raise();
    m_hideTimer->setSingleShot(true);
    m_hideTimer->setInterval(hideDelayMs);
    connect(m_hideTimer, &QTimer::timeout, this, &DrawnScrollBar::hideScrollBar);
}

void DrawnScrollBar::updateScrollHeight(int list, const QRect &visible)
{
    if (list <= 0)
        return hideScrollBar();
    const double height =
        std::max(double(minimumHeight), double(visible.height() - 8) * visible.height() / list);
    if (height > visible.height() - 8)
        return hideScrollBar();
    if (int(height) != m_view->height()) {
        m_view->resize(m_view->width(), int(height));
        updateScrollBar(list, visible);
    }
}

// At the top of the list the bar stands 4 pixels below the top of the track, at the bottom 4
// pixels above its end.
void DrawnScrollBar::updateScrollBar(int list, const QRect &visible)
{
    const int track = visible.height() - m_view->height() - 8;
    const int scrollable = list - visible.height();
    if (scrollable <= 0 || track < 0)
        return hideScrollBar();
    const double fromTop = 1.0 - double(visible.y()) / scrollable;
    const int y = int(std::lround(track * std::clamp(fromTop, 0.0, 1.0))) + 4;
    m_view->move(m_scrollView.width() - 10, y);
    m_view->raise();
    ViewAlpha::set(m_view, 1.0);
    m_hideTimer->start();
}

void DrawnScrollBar::hideScrollBar()
{
    m_hideTimer->stop();
    if (ViewAlpha::of(m_view) > 0.0)
        ViewAlpha::animate(m_view, 0.0, m_reduceMotion ? 0 : fadeDurationMs);
}
