#include "support/iso8601/datepattern.h"

#include "support/iso8601/gregorian.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<QStringView, 12> MonthNames = {u"January",   u"February", u"March",    u"April",
                                                    u"May",       u"June",     u"July",     u"August",
                                                    u"September", u"October",  u"November", u"December"};
constexpr std::array<QStringView, 7> WeekdayNames = {u"Monday", u"Tuesday",  u"Wednesday", u"Thursday",
                                                     u"Friday", u"Saturday", u"Sunday"};

QString padded(qint64 value, qsizetype width)
{
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(width, u'0');
    return value < 0 ? u'-' + digits : digits;
}

QString name(QStringView full, qsizetype count)
{
    if (count == 4)
        return full.toString();
    return full.left(count >= 5 ? 1 : 3).toString();
}

QString zoneText(int offsetSeconds, qsizetype count)
{
    const QString basic = DatePattern::offsetText(offsetSeconds);
    if (count <= 3)
        return basic;
    const int minutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    if (minutes == 0)
        return count == 4 ? u"GMT"_s : u"Z"_s;
    const QString extended = basic.left(3) + u':' + basic.right(2);
    return count == 4 ? u"GMT"_s + extended : extended;
}

QString field(char16_t letter, qsizetype count, const DatePattern::Fields &f)
{
    const qint64 yearOfEra = f.year > 0 ? f.year : 1 - f.year;
    switch (letter) {
    case u'G':
        return f.year > 0 ? u"AD"_s : u"BC"_s;
    case u'y':
        return count == 2 ? padded(yearOfEra % 100, 2) : padded(yearOfEra, count);
    case u'u':
        return padded(f.year, count);
    case u'M':
    case u'L':
        return count >= 3 ? name(MonthNames[f.month - 1], count) : padded(f.month, count);
    case u'd':
        return padded(f.day, count);
    case u'D':
        return padded(f.dayOfYear, count);
    case u'E':
        return name(WeekdayNames[f.isoWeekday - 1], count);
    case u'a':
        return f.hour < 12 ? u"AM"_s : u"PM"_s;
    case u'H':
        return padded(f.hour, count);
    case u'h':
        return padded(f.hour % 12 == 0 ? 12 : f.hour % 12, count);
    case u'k':
        return padded(f.hour == 0 ? 24 : f.hour, count);
    case u'K':
        return padded(f.hour % 12, count);
    case u'm':
        return padded(f.minute, count);
    case u's':
        return padded(f.second, count);
    case u'S':
        return padded(f.millisecond, 3).leftJustified(count, u'0', true);
    case u'Z':
        return zoneText(f.offsetSeconds, count);
    default:
        return QString(count, QChar(letter));
    }
}

bool isPatternLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

} // namespace

DatePattern::Fields DatePattern::fieldsOf(const QDateTime &date, const QTimeZone &zone)
{
    Fields f;
    f.offsetSeconds = zone.isValid() ? zone.offsetFromUtc(date) : 0;
    const qint64 localMsecs = date.toMSecsSinceEpoch() + qint64(f.offsetSeconds) * 1000;
    const qint64 days = Gregorian::floorDiv<qint64>(localMsecs, 86'400'000);
    const qint64 msecOfDay = localMsecs - days * 86'400'000;
    const Gregorian::Civil civil = Gregorian::civilFromDays(days);
    f.year = civil.year;
    f.month = civil.month;
    f.day = civil.day;
    f.dayOfYear = int(days - Gregorian::daysFromCivil<qint64>(civil.year, 1, 1) + 1);
    f.isoWeekday = Gregorian::isoWeekday(days);
    f.hour = int(msecOfDay / 3'600'000);
    f.minute = int(msecOfDay / 60'000 % 60);
    f.second = int(msecOfDay / 1000 % 60);
    f.millisecond = int(msecOfDay % 1000);
    return f;
}

QString DatePattern::format(QStringView pattern, const Fields &fields)
{
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i].unicode();
        if (c == u'\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                out += u'\'';
                i += 2;
                continue;
            }
            ++i;
            while (i < pattern.size()) {
                if (pattern[i] == u'\'') {
                    if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                        out += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += pattern[i++];
            }
            continue;
        }
        if (!isPatternLetter(c)) {
            out += pattern[i++];
            continue;
        }
        qsizetype count = 1;
        while (i + count < pattern.size() && pattern[i + count] == c)
            ++count;
        out += field(c, count, fields);
        i += count;
    }
    return out;
}

QString DatePattern::offsetText(int offsetSeconds)
{
    const int magnitude = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
    return (offsetSeconds < 0 ? u'-' : u'+') + padded(magnitude / 3600, 2) + padded(magnitude / 60 % 60, 2);
}
