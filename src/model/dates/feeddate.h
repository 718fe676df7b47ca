#pragma once

#include "platform/clock.h"

#include <QDateTime>
#include <QString>

// Dates as feeds write them, and the ages of dates.
//
// Every parser returns a QDateTime in UTC, or an invalid QDateTime for "no date"; none throws, and any
// text is safe to pass. All functions are safe to call from many threads at once: the ICU formatters behind
// dateWithRSSPubDate are built once per thread, libcurl's date parser keeps no state, and the rest only
// reads its arguments and the clock.
class FeedDate {
public:
    // A calendar day in the process's time zone, as the instants of its midnight and the next.
    struct LocalDay {
        QDateTime start;
        QDateTime end;
        bool contains(const QDateTime &date) const { return date >= start && date < end; }
    };

    // RSS pubDate: the five RFC 822 patterns with English names (see RSSDateFormats), first match wins.
    static QDateTime dateWithRSSPubDate(QStringView text);
    // Atom: exactly "yyyy-MM-ddTHH:mm:ssZ", in UTC; offsets and fractions are left to failOverParser.
    static QDateTime dateWithAtomPubDate(QStringView text);
    // Everything else: repairs (" UT" → " GMT", missing seconds), libcurl's parser, then a field scan of
    // "year[-month[-day]][Thour[:minute[:second[.fraction]]]][Z|±hours[:minutes]]".
    static QDateTime failOverParser(const QString &text);
    // libcurl's curl_getdate; no date for text that is not plain ASCII (or holds NUL) or that it rejects.
    static QDateTime getDateFromString(const QString &text);

    // Whole hours between the date and now, in either direction; 0 for no date.
    static qint64 hoursSinceNow(const QDateTime &date, const Clock &clock = Clock::system());
    static qint64 ageInHours(const QDateTime &date, const Clock &clock = Clock::system());
    // True when the date falls on today's calendar day in the process's time zone.
    static bool dateIsToday(const QDateTime &date, const Clock &clock = Clock::system());
    static LocalDay today(const Clock &clock = Clock::system());
    // "a minute ago", "%d minutes ago", "a hour ago", "%d hours ago"; future dates read the same way.
    static QString localizedTimeIntervalSinceNow(const QDateTime &date, const Clock &clock = Clock::system());
};
