#pragma once

#include <QByteArray>

#include <cstdlib>
#include <ctime>

// Pins the process's time zone (TZ) for one test and puts the previous one back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char *ianaId) : m_hadPrevious(qEnvironmentVariableIsSet("TZ"))
    {
        m_previous = qgetenv("TZ");
        qputenv("TZ", ianaId);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_hadPrevious)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    bool m_hadPrevious;
    QByteArray m_previous;
};
