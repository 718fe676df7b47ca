#include "ticker/widgets/glowbutton.h"

#include "ui/animation/viewalpha.h"

#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

GlowButton::GlowButton(QWidget *parent) : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("glowButton"));
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(20, 20));
    ViewAlpha::set(this, m_inactiveAlpha);
}

void GlowButton::setUseTrackingArea(bool use)
{
    m_tracking = use;
    setMouseTracking(use);
    // The area is taken to start with the pointer inside; where the pointer really is decides
    // at once, without a glow.
    m_pointerInside = use && underMouse() && trackingRect().contains(mapFromGlobal(QCursor::pos()));
}

void GlowButton::updateState(bool on)
{
    setState(on);
    ViewAlpha::set(this, on ? 1.0 : m_inactiveAlpha);
}

QSize GlowButton::sizeHint() const
{
    return iconSize();
}

QRect GlowButton::trackingRect() const
{
    return QRect(0, 0, width() - 4, height());
}

void GlowButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect target(QPoint(0, 0), iconSize());
    target.moveCenter(rect().center());
    icon().paint(&painter, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled,
                 isChecked() ? QIcon::On : QIcon::Off);
}

void GlowButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    if (m_tracking)
        trackPointer(trackingRect().contains(event->position().toPoint()));
}

void GlowButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    if (m_tracking)
        trackPointer(false);
}

void GlowButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (m_tracking)
        trackPointer(trackingRect().contains(event->position().toPoint()));
}

void GlowButton::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QAbstractButton::mousePressEvent(event);
}

// The click (and a checkable button's toggle) completes on release; the glow follows the
// state it left behind.
void GlowButton::mouseReleaseEvent(QMouseEvent *event)
{
    QAbstractButton::mouseReleaseEvent(event);
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    if (!m_respectsState)
        return;
    if (state())
        animateAlpha(1.0);
    else
        ViewAlpha::set(this, m_inactiveAlpha);
}

void GlowButton::trackPointer(bool inside)
{
    if (inside == m_pointerInside)
        return;
    m_pointerInside = inside;
    if (inside)
        pointerEntered();
    else
        pointerExited();
}

void GlowButton::pointerEntered()
{
    animateAlpha(1.0);
}

void GlowButton::pointerExited()
{
    if (m_respectsState && state())
        return;
    animateAlpha(m_inactiveAlpha);
}

void GlowButton::animateAlpha(double alpha)
{
    ViewAlpha::animate(this, alpha, alphaAnimationDurationMs);
}
