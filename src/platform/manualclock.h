#pragma once

#include "platform/clock.h"

#include <atomic>

// A clock that stands still until it is set or advanced; safe to read from any thread.
class ManualClock final : public Clock {
public:
    explicit ManualClock(const QDateTime &start = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));

    QDateTime now() const override;
    void setNow(const QDateTime &instant);
    void advance(qint64 milliseconds);

private:
    std::atomic<qint64> m_msecsSinceEpoch;
};
