#pragma once

#include <QDateTime>
#include <QStringView>

#include <unicode/unistr.h>
#include <unicode/utypes.h>

// The one place where the model turns other libraries' dates and strings into its own types.
// A date is a QDateTime in UTC with millisecond precision; an invalid QDateTime means "no date".
class DateConversion {
public:
    // ICU's milliseconds since 1970; no date when not finite or beyond QDateTime's range.
    static QDateTime fromUDate(UDate date);
    // Seconds since 1970 (libcurl's time_t); no date beyond QDateTime's range.
    static QDateTime fromUnixSeconds(qint64 seconds);
    // A calendar date and time read in a zone `offsetSeconds` east of UTC. The fields must be in
    // range (year 1…9999, month 1…12, a day the month has, hour 0…23, minute and second 0…59).
    static QDateTime fromCheckedFields(int year, int month, int day, int hour, int minute, int second,
                                       int offsetSeconds);
    // UTF-16 text as ICU's string; a bogus string for text longer than ICU can hold.
    static icu::UnicodeString toUnicodeString(QStringView text);
};
