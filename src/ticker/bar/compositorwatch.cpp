#include "ticker/bar/compositorwatch.h"

#include "ticker/bar/x11desktop.h"

#include <QTimer>

CompositorWatch::CompositorWatch(QObject *parent) : QObject(parent)
{
    if (!X11Desktop::isAvailable())
        return;
    m_compositing = X11Desktop::hasCompositingManager();
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::VeryCoarseTimer);
    connect(m_timer, &QTimer::timeout, this, &CompositorWatch::poll);
    m_timer->start(pollIntervalMs);
}

void CompositorWatch::setCompositing(bool compositing)
{
    if (compositing == m_compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged(compositing);
}

void CompositorWatch::poll()
{
    setCompositing(X11Desktop::hasCompositingManager());
}
