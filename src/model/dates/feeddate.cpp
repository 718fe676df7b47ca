#include "model/dates/feeddate.h"

#include "model/dates/dateconversion.h"
#include "model/dates/failoverscanner.h"
#include "model/dates/rfc822datescanner.h"
#include "model/dates/rssdateformats.h"

#include <QCoreApplication>
#include <QTimeZone>

#include <curl/curl.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Whole seconds from now to the date, truncated towards zero, as a magnitude.
qint64 wholeSecondsFromNow(const QDateTime &date, const Clock &clock)
{
    const qint64 then = date.toMSecsSinceEpoch();
    const qint64 now = clock.now().toMSecsSinceEpoch();
    qint64 milliseconds = 0;
    if (__builtin_sub_overflow(then, now, &milliseconds))
        milliseconds = then < now ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    const qint64 seconds = milliseconds / 1000;
    return seconds < 0 ? -seconds : seconds;
}

int twoDigits(QStringView text, qsizetype at)
{
    return (text[at].unicode() - u'0') * 10 + (text[at + 1].unicode() - u'0');
}

// " UT" at the end becomes " GMT", and a time without seconds gets ":00" after its minutes.
QString repairedForCurl(const QString &text)
{
    QString repaired = text.trimmed();
    if (repaired.endsWith(u" UT"_s)) {
        repaired.chop(3);
        repaired += u" GMT"_s;
    }
    const qsizetype colon = repaired.indexOf(u':');
    const qsizetype afterMinutes = colon + 3;
    if (colon > 0 && afterMinutes < repaired.size() && repaired[afterMinutes] != u':')
        repaired.insert(afterMinutes, u":00"_s);
    return repaired;
}

} // namespace

QDateTime FeedDate::dateWithRSSPubDate(QStringView text)
{
    if (const std::optional<QDateTime> quick = RFC822DateScanner::scan(text))
        return *quick;
    return RSSDateFormats::forThisThread().parse(text);
}

QDateTime FeedDate::dateWithAtomPubDate(QStringView text)
{
    // Positions of the digits in "yyyy-MM-ddTHH:mm:ssZ".
    static constexpr std::array<qsizetype, 14> Digits = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    if (text.size() != 20 || text[4] != u'-' || text[7] != u'-' || text[10] != u'T' || text[13] != u':' ||
        text[16] != u':' || text[19] != u'Z')
        return {};
    for (qsizetype i : Digits)
        if (text[i] < u'0' || text[i] > u'9')
            return {};
    const int year = twoDigits(text, 0) * 100 + twoDigits(text, 2);
    const int month = twoDigits(text, 5);
    const int day = twoDigits(text, 8);
    const int hour = twoDigits(text, 11);
    const int minute = twoDigits(text, 14);
    const int second = twoDigits(text, 17);
    const QDate date(year, month, day);
    if (year == 0 || !date.isValid() || hour > 23 || minute > 59 || second > 59)
        return {};
    return DateConversion::fromCheckedFields(year, month, day, hour, minute, second, 0);
}

QDateTime FeedDate::failOverParser(const QString &text)
{
    const QString repaired = repairedForCurl(text);
    const QDateTime date = getDateFromString(repaired);
    if (date.isValid())
        return date;
    return FailOverScanner::scan(repaired);
}

QDateTime FeedDate::getDateFromString(const QString &text)
{
    QByteArray ascii;
    ascii.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0x7f)
            return {};
        ascii.append(char(c.unicode()));
    }
    const time_t seconds = curl_getdate(ascii.constData(), nullptr);
    if (seconds == -1)
        return {};
    return DateConversion::fromUnixSeconds(qint64(seconds));
}

qint64 FeedDate::hoursSinceNow(const QDateTime &date, const Clock &clock)
{
    if (!date.isValid())
        return 0;
    return wholeSecondsFromNow(date, clock) / 3600;
}

qint64 FeedDate::ageInHours(const QDateTime &date, const Clock &clock)
{
    return hoursSinceNow(date, clock);
}

bool FeedDate::dateIsToday(const QDateTime &date, const Clock &clock)
{
    return date.isValid() && today(clock).contains(date);
}

// From midnight to the next midnight, so that days of 23 and 25 hours count in full.
FeedDate::LocalDay FeedDate::today(const Clock &clock)
{
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDate date = clock.now().toTimeZone(zone).date();
    return {date.startOfDay(zone), date.addDays(1).startOfDay(zone)};
}

QString FeedDate::localizedTimeIntervalSinceNow(const QDateTime &date, const Clock &clock)
{
    const qint64 seconds = date.isValid() ? wholeSecondsFromNow(date, clock) : 0;
    const qint64 hours = seconds / 3600;
    if (hours == 1)
        return QCoreApplication::translate("FeedDate", "a hour ago");
    if (hours >= 2)
        return QCoreApplication::translate("FeedDate", "%1 hours ago").arg(hours);
    const qint64 minutes = (seconds + 59) / 60;
    if (minutes == 1)
        return QCoreApplication::translate("FeedDate", "a minute ago");
    return QCoreApplication::translate("FeedDate", "%1 minutes ago").arg(minutes);
}
