#include "ui/animation/viewalpha.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QWidget>

#include <algorithm>

ViewAlpha::ViewAlpha(QWidget *view) : QObject(view), m_view(view) {}

ViewAlpha *ViewAlpha::find(const QWidget *view)
{
    return view->findChild<ViewAlpha *>(QString(), Qt::FindDirectChildrenOnly);
}

ViewAlpha *ViewAlpha::attach(QWidget *view)
{
    ViewAlpha *alpha = find(view);
    return alpha ? alpha : new ViewAlpha(view);
}

qreal ViewAlpha::of(const QWidget *view)
{
    const ViewAlpha *alpha = find(view);
    return alpha ? alpha->alphaValue() : 1.0;
}

void ViewAlpha::set(QWidget *view, qreal alpha)
{
    ViewAlpha *viewAlpha = attach(view);
    viewAlpha->stopAnimation();
    viewAlpha->setAlphaValue(alpha);
}

QPropertyAnimation *ViewAlpha::animate(QWidget *view, qreal alpha, int durationMs, const QEasingCurve &easing)
{
    ViewAlpha *viewAlpha = attach(view);
    viewAlpha->stopAnimation();
    auto *animation = new QPropertyAnimation(viewAlpha, "alphaValue", viewAlpha);
    animation->setDuration(durationMs);
    animation->setEasingCurve(easing);
    animation->setStartValue(viewAlpha->alphaValue());
    animation->setEndValue(alpha);
    viewAlpha->m_animation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

bool ViewAlpha::isAnimating(const QWidget *view)
{
    const ViewAlpha *alpha = find(view);
    return alpha && alpha->m_animation && alpha->m_animation->state() == QAbstractAnimation::Running;
}

void ViewAlpha::stopAnimation()
{
    if (m_animation)
        m_animation->stop();
}

void ViewAlpha::setAlphaValue(qreal alpha)
{
    m_alpha = std::clamp(alpha, 0.0, 1.0);
    if (m_alpha == 1.0) {
        // Only our own effect goes; another one set on the widget stays.
        if (m_effect && m_view->graphicsEffect() == m_effect)
            m_view->setGraphicsEffect(nullptr);
        return;
    }
    if (!m_effect) {
        m_effect = new QGraphicsOpacityEffect(m_view);
        m_view->setGraphicsEffect(m_effect);
    }
    m_effect->setOpacity(m_alpha);
}
