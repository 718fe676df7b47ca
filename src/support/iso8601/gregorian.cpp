#include "support/iso8601/gregorian.h"

int Gregorian::weekdayOfJanuaryFirst(qint64 year)
{
    // Zeller-style count over the previous year's centuries, years and leap years.
    const qint64 y = year - 1;
    const qint64 centuries = floorMod<qint64>(floorDiv<qint64>(y, 100), 4);
    const qint64 yearsOfCentury = floorMod<qint64>(y, 100);
    return int(floorMod<qint64>(centuries * 5 + yearsOfCentury + yearsOfCentury / 4, 7));
}

Gregorian::Civil Gregorian::civilFromDays(qint64 days)
{
    const qint64 z = days + 719468;
    const qint64 era = floorDiv<qint64>(z, 146097);
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = int(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}
