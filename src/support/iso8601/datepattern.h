#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Writes an instant with a Unicode date pattern ("yyyy-MM-dd'T'HH:mm:ss") in the proleptic Gregorian
// calendar with English names. Knows the fields G y u M L d D E a H h k K m s S Z; any other letter is
// written as it stands, text in single quotes literally ('' is one quote).
class DatePattern {
public:
    // The local fields of an instant in a zone.
    struct Fields {
        qint64 year = 1970; // astronomical: 0 is 1 BC
        int month = 1;
        int day = 1;
        int dayOfYear = 1;
        int isoWeekday = 4; // 1 = Monday
        int hour = 0;
        int minute = 0;
        int second = 0;
        int millisecond = 0;
        int offsetSeconds = 0; // of the zone from UTC, east positive
    };

    // `date` must be valid; an invalid zone counts as UTC.
    static Fields fieldsOf(const QDateTime &date, const QTimeZone &zone);
    static QString format(QStringView pattern, const Fields &fields);
    // "+0100", "-0530": sign, two digits of hours, two of minutes.
    static QString offsetText(int offsetSeconds);
};
