#include "common/steppinganimationdriver.h"

#include <QCoreApplication>

#include <algorithm>

SteppingAnimationDriver::SteppingAnimationDriver()
{
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
