#include "platform/manualclock.h"

ManualClock::ManualClock(const QDateTime &start) : m_msecsSinceEpoch(start.toMSecsSinceEpoch()) {}

QDateTime ManualClock::now() const
{
    return QDateTime::fromMSecsSinceEpoch(m_msecsSinceEpoch.load(), Qt::UTC);
}

void ManualClock::setNow(const QDateTime &instant)
{
    m_msecsSinceEpoch.store(instant.toMSecsSinceEpoch());
}

void ManualClock::advance(qint64 milliseconds)
{
    m_msecsSinceEpoch.fetch_add(milliseconds);
}
