#include "model/dates/dateconversion.h"

#include "support/iso8601/gregorian.h"

#include <cmath>
#include <limits>

namespace {
// About 285 million years either side of 1970, inside what both QDateTime and qint64 milliseconds hold.
constexpr qint64 LargestMSecs = 9'000'000'000'000'000'000;
} // namespace

QDateTime DateConversion::fromUDate(UDate date)
{
    if (!std::isfinite(date) || date >= double(LargestMSecs) || date <= -double(LargestMSecs))
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(date)), Qt::UTC);
}

QDateTime DateConversion::fromUnixSeconds(qint64 seconds)
{
    if (seconds >= LargestMSecs / 1000 || seconds <= -LargestMSecs / 1000)
        return {};
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000, Qt::UTC);
}

QDateTime DateConversion::fromCheckedFields(int year, int month, int day, int hour, int minute, int second,
                                            int offsetSeconds)
{
    const qint64 days = Gregorian::daysFromCivil<qint64>(year, month, day);
    const qint64 seconds = days * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds;
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000, Qt::UTC);
}

icu::UnicodeString DateConversion::toUnicodeString(QStringView text)
{
    icu::UnicodeString result;
    if (text.size() > std::numeric_limits<int32_t>::max()) {
        result.setToBogus();
        return result;
    }
    result.setTo(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    return result;
}
