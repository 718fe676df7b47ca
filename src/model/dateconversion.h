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
    // UTF-16 text as ICU's string; a bogus string for text longer than ICU can hold.
    static icu::UnicodeString toUnicodeString(QStringView text);
};
