#pragma once

#include <QDateTime>

// The source of "now" for everything in the model. A date throughout Vantrel is a QDateTime
// in UTC with millisecond precision; an invalid QDateTime means "no date".
// The application uses Clock::system(); tests pass a ManualClock.
class Clock {
public:
    virtual ~Clock() = default;

    // The current instant, in UTC.
    virtual QDateTime now() const = 0;

    // The wall clock of the machine. Lives for the whole process.
    static Clock &system();
};
