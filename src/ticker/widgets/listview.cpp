#include "ticker/widgets/listview.h"

#include "ui/animation/animationtiming.h"
#include "ui/animation/viewalpha.h"
#include "ui/drawing/bottomupgeometry.h"

#include <QChildEvent>
#include <QPropertyAnimation>

ListView::ListView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("listView"));
}

ListView::~ListView()
{
    if (m_runningAnimation) {
        m_runningAnimation->disconnect(this);
        m_runningAnimation->stop();
    }
}

void ListView::setResizeTarget(QWidget *view)
{
    m_resizeTarget = view;
}

void ListView::setFrameSize(const QSize &size)
{
    resize(size);
    layoutSubviews();
}

void ListView::animateFrameSize(const QSize &size)
{
    if (m_runningAnimation)
        m_runningAnimation->stop();
    auto *animation = new QPropertyAnimation(this, "frameSize", this);
    animation->setDuration(frameSizeAnimationDurationMs);
    animation->setEasingCurve(AnimationTiming::easeInEaseOut());
    animation->setStartValue(frameSize());
    animation->setEndValue(size);
    connect(animation, &QAbstractAnimation::stateChanged, this, [this](QAbstractAnimation::State state) {
        if (state == QAbstractAnimation::Stopped)
            animationDidStop();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    animationDidStart(animation);
}

void ListView::animationDidStart(QPropertyAnimation *animation)
{
    m_animating = true;
    m_runningAnimation = animation;
}

void ListView::animationDidStop()
{
    m_runningAnimation = nullptr;
    m_animating = false;
    if (m_resizeTarget)
        ViewAlpha::animate(m_resizeTarget, 1.0);
    m_resizeTarget = nullptr;
}

void ListView::setSubviewFrame(QWidget *view, const QRect &frame)
{
    if (view->parentWidget() != this)
        view->setParent(this);
    const Placement placement{frame.x(), frame.y(), frame.height(), width() - frame.x() - frame.width()};
    m_placements.insert(view, placement);
    layoutSubview(view, placement);
}

QRect ListView::subviewFrame(const QWidget *view) const
{
    const auto found = m_placements.constFind(view);
    if (found == m_placements.cend())
        return {};
    const Placement &p = *found;
    return {p.x, p.bottom, width() - p.x - p.rightMargin, p.height};
}

QRect ListView::visibleRect() const
{
    QRect visible = rect();
    if (const QWidget *parent = parentWidget())
        visible &= QRect(mapFrom(parent, QPoint(0, 0)), parent->size());
    return BottomUpGeometry(height()).rect(visible);
}

void ListView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void ListView::childEvent(QChildEvent *event)
{
    if (event->type() == QEvent::ChildRemoved)
        m_placements.remove(event->child());
    QWidget::childEvent(event);
}

void ListView::layoutSubview(QWidget *view, const Placement &p)
{
    view->setGeometry(
        BottomUpGeometry(height()).rect(p.x, p.bottom, width() - p.x - p.rightMargin, p.height));
}

void ListView::layoutSubviews()
{
    for (QObject *child : children()) {
        const auto found = m_placements.constFind(child);
        if (found != m_placements.cend())
            layoutSubview(static_cast<QWidget *>(child), *found);
    }
}
