#include "common/steppinganimationdriver.h"

#include <QCoreApplication>

#include <algorithm>

SteppingAnimationDriver::SteppingAnimationDriver()
{
    // Qt reads elapsed() as the time since the driver started; it starts again whenever an
    // animation begins after all had ended.
    connect(this, &QAnimationDriver::started, this, [this] { m_elapsed = 0; });
    install();
}

SteppingAnimationDriver::~SteppingAnimationDriver()
{
    uninstall();
}

void SteppingAnimationDriver::advanceBy(qint64 ms)
{
    // A started animation reaches the driver through two queued calls.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    m_elapsed += ms;
    advance();
}

void SteppingAnimationDriver::advanceInFrames(qint64 ms, qint64 frameMs)
{
    for (qint64 done = 0; done < ms; done += frameMs)
        advanceBy(std::min(frameMs, ms - done));
}
