#include "support/iso8601/iso8601dateformatter.h"

#include "support/iso8601/datepattern.h"
#include "support/iso8601/gregorian.h"
#include "support/iso8601/iso8601parser.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace {

__extension__ typedef __int128 Int128;

// Wall-clock seconds beyond this (about 285 million years) have no millisecond QDateTime.
constexpr qint64 LargestWallSeconds = 9'000'000'000'000'000;
// Dates the writer accepts: far enough inside qint64 milliseconds to add any zone offset.
constexpr qint64 LargestWritableMsecs = 9'000'000'000'000'000'000;

// Misuse by the calling code: stops a debug build, is logged and answered with no result in a release build.
void programmingError(const QString &message)
{
#ifdef QT_NO_DEBUG
    qCritical("ISO8601DateFormatter: %s", qUtf8Printable(message));
#else
    qFatal("ISO8601DateFormatter: %s", qUtf8Printable(message));
#endif
}

bool isWritable(const QDateTime &date)
{
    if (!date.isValid())
        return false;
    const qint64 msecs = date.toMSecsSinceEpoch();
    return msecs > -LargestWritableMsecs && msecs < LargestWritableMsecs;
}

QDateTime utcFromMSecs(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

// The instant at which the zone's clocks show `wallMsecs`. A reading in a gap the clocks jump over is moved
// forward by the gap's length; a reading that occurs twice is taken after the clocks went back.
QDateTime instantOfWallClock(qint64 wallMsecs, const QTimeZone &zone)
{
    const int guess = zone.offsetFromUtc(utcFromMSecs(wallMsecs));
    const int offset = zone.offsetFromUtc(utcFromMSecs(wallMsecs - qint64(guess) * 1000));
    return utcFromMSecs(wallMsecs - qint64(offset) * 1000);
}

ISO8601Parser::Today todayOf(const QDateTime &now)
{
    if (!isWritable(now))
        return {};
    const DatePattern::Fields f = DatePattern::fieldsOf(now, QTimeZone::systemTimeZone());
    return {f.year, f.month, f.day};
}

} // namespace

ISO8601DateFormatter::ISO8601DateFormatter() = default;

QTimeZone ISO8601DateFormatter::defaultTimeZone() const
{
    std::lock_guard lock(m_defaultTimeZoneMutex);
    return m_defaultTimeZone;
}

void ISO8601DateFormatter::setDefaultTimeZone(const QTimeZone &zone)
{
    std::lock_guard lock(m_defaultTimeZoneMutex);
    m_defaultTimeZone = zone;
}

ISO8601DateComponents ISO8601DateFormatter::dateComponentsFromString(const QString &text,
                                                                     std::optional<ISO8601TimeZone> *timeZone,
                                                                     ISO8601Range *range) const
{
    const char16_t separator = m_parsesStrictly ? u':' : m_timeSeparator;
    ISO8601ParseResult result;
    if (separator == u'\0')
        programmingError(u"Time separator must not be NUL."_s);
    else
        result = ISO8601Parser::parse(text.toUtf8(), todayOf(now()), m_parsesStrictly, separator);
    if (timeZone)
        *timeZone = result.timeZone;
    if (range)
        *range = result.range;
    return result.components;
}

QDateTime ISO8601DateFormatter::dateFromString(const QString &text, std::optional<ISO8601TimeZone> *timeZone,
                                               ISO8601Range *range) const
{
    std::optional<ISO8601TimeZone> zone;
    ISO8601Range found;
    const ISO8601DateComponents components = dateComponentsFromString(text, &zone, &found);
    if (timeZone)
        *timeZone = zone;
    if (range)
        *range = found;
    if (!found.isFound())
        return {};
    return dateFromComponents(components, zone);
}

bool ISO8601DateFormatter::getObjectValue(QDateTime *value, const QString &text, QString *) const
{
    const QDateTime date = dateFromString(text);
    if (value)
        *value = date;
    return date.isValid();
}

QDateTime ISO8601DateFormatter::dateFromComponents(const ISO8601DateComponents &c,
                                                   const std::optional<ISO8601TimeZone> &zone)
{
    if (!c.year)
        return {};
    const Int128 monthsFromJanuary = Int128(c.month.value_or(1)) - 1;
    const Int128 year = Int128(*c.year) + Gregorian::floorDiv<Int128>(monthsFromJanuary, 12);
    const int month = int(Gregorian::floorMod<Int128>(monthsFromJanuary, 12)) + 1;
    const Int128 days = Gregorian::daysFromCivil<Int128>(year, month, Int128(c.day.value_or(1)));
    const Int128 wallSeconds = days * 86400 + Int128(c.hour.value_or(0)) * 3600 +
                               Int128(c.minute.value_or(0)) * 60 + Int128(c.second.value_or(0));
    if (wallSeconds > LargestWallSeconds || wallSeconds < -LargestWallSeconds)
        return {};
    const qint64 wallMsecs = qint64(wallSeconds) * 1000;
    const QDateTime date = zone ? utcFromMSecs(wallMsecs - qint64(zone->offsetSeconds) * 1000)
                                : instantOfWallClock(wallMsecs, QTimeZone::systemTimeZone());
    return date.isValid() ? date : QDateTime();
}

QString ISO8601DateFormatter::stringFromDate(const QDateTime &date) const
{
    const QTimeZone zone = defaultTimeZone();
    return stringFromDate(date, zone.isValid() ? zone : QTimeZone::systemTimeZone());
}

QString ISO8601DateFormatter::stringFromDate(const QDateTime &date, const QTimeZone &zone) const
{
    switch (m_format) {
    case Calendar:
        return stringFromDate(date, u"yyyy-MM-dd"_s, zone);
    case Ordinal:
        return stringFromDate(date, u"yyyy-DDD"_s, zone);
    case Week:
        return weekDateStringForDate(date, zone);
    default:
        programmingError(u"self.format was %1, not calendar (%2), week (%3), or ordinal (%4)"_s.arg(
            QString::number(m_format), QString::number(Calendar), QString::number(Week),
            QString::number(Ordinal)));
        return {};
    }
}

QString ISO8601DateFormatter::stringFromDate(const QDateTime &date, const QString &formatString,
                                             const QTimeZone &zone) const
{
    if (!isWritable(date))
        return {};
    QString pattern = formatString;
    if (m_includeTime)
        pattern += u"'T'"_s + replaceColonsInString(u"HH:mm:ss"_s, m_timeSeparator);
    const DatePattern::Fields fields = DatePattern::fieldsOf(date, zone);
    QString text = DatePattern::format(pattern, fields);
    if (m_includeTime) {
        const bool underOneMinute = fields.offsetSeconds > -60 && fields.offsetSeconds < 60;
        text += underOneMinute ? u"Z"_s : DatePattern::offsetText(fields.offsetSeconds);
    }
    return text;
}

QString ISO8601DateFormatter::weekDateStringForDate(const QDateTime &date, const QTimeZone &zone) const
{
    if (!isWritable(date))
        return {};
    const DatePattern::Fields f = DatePattern::fieldsOf(date, zone);
    const qint64 year = f.year;
    const int dayOfYear = f.dayOfYear;
    const int jan1 = Gregorian::weekdayOfJanuaryFirst(year);
    const int daysInYear = Gregorian::daysInYear(year);
    const bool previousIsLeap = Gregorian::isLeapYear(year - 1);

    qint64 weekYear = year;
    int week = 1;
    if (dayOfYear <= 7 - jan1 && jan1 > 3) {
        weekYear = year - 1;
        week = (jan1 == 4 || (jan1 == 5 && previousIsLeap)) ? 53 : 52;
    } else {
        const int weekdayFromMonday = (dayOfYear + jan1 - 1) % 7;
        if (daysInYear - dayOfYear < 3 - weekdayFromMonday) {
            weekYear = year + 1;
        } else {
            week = (dayOfYear + jan1 + 6 - weekdayFromMonday) / 7 - (jan1 > 3 ? 1 : 0);
        }
    }

    QString time;
    if (m_includeTime) {
        const char16_t separator = m_timeSeparator == u'\0' ? u':' : m_timeSeparator;
        time = DatePattern::format(replaceColonsInString(u"HH:mm:ssZ"_s, separator), f);
    }
    return QString::number(weekYear) + u"-W"_s + QString::number(week).rightJustified(2, u'0') + u'-' +
           QString::number(f.isoWeekday).rightJustified(2, u'0') + time;
}

QString ISO8601DateFormatter::stringForObjectValue(const QVariant &value) const
{
    if (value.metaType() != QMetaType::fromType<QDateTime>()) {
        programmingError(u"Invalid parameter not satisfying: %1"_s.arg(
            u"value.metaType() == QMetaType::fromType<QDateTime>()"_s));
        return {};
    }
    return stringFromDate(value.toDateTime());
}

QString ISO8601DateFormatter::replaceColonsInString(const QString &text, char16_t timeSeparator)
{
    if (timeSeparator == u':')
        return text;
    QString copy = text;
    copy.replace(u':', QChar(timeSeparator));
    return copy;
}
