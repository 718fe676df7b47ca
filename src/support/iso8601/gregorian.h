#pragma once

#include <QtGlobal>

// Proleptic Gregorian calendar arithmetic on day numbers (day 0 = 1970-01-01).
// Works on any integer type wide enough for the caller's range; division rounds towards minus infinity.
class Gregorian {
public:
    template <typename Int> static constexpr Int floorDiv(Int a, Int b)
    {
        const Int q = a / b;
        return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
    }
    template <typename Int> static constexpr Int floorMod(Int a, Int b) { return a - floorDiv(a, b) * b; }

    template <typename Int> static constexpr bool isLeapYear(Int year)
    {
        return floorMod<Int>(year, 4) == 0 &&
               (floorMod<Int>(year, 100) != 0 || floorMod<Int>(year, 400) == 0);
    }
    template <typename Int> static constexpr int daysInYear(Int year) { return isLeapYear(year) ? 366 : 365; }

    // Day number of year/month/day; month must be 1…12, day may be any value (it simply adds days).
    template <typename Int> static constexpr Int daysFromCivil(Int year, int month, Int day)
    {
        const Int y = month <= 2 ? year - 1 : year;
        const Int era = floorDiv<Int>(y, 400);
        const Int yearOfEra = y - era * 400;
        const Int monthFromMarch = month > 2 ? month - 3 : month + 9;
        const Int dayOfYear = (153 * monthFromMarch + 2) / 5;
        const Int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra - 719468 + (day - 1);
    }

    struct Civil {
        qint64 year;
        int month;
        int day;
    };
    // Year, month and day of a day number.
    static Civil civilFromDays(qint64 days);
    // ISO weekday of a day number, 1 = Monday … 7 = Sunday.
    static int isoWeekday(qint64 days) { return int(floorMod<qint64>(days + 3, 7)) + 1; }

    // Weekday of 1 January of `year`, 0 = Monday … 6 = Sunday.
    static int weekdayOfJanuaryFirst(qint64 year);
};
