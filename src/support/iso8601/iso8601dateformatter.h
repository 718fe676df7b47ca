#pragma once

#include "support/iso8601/iso8601datecomponents.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <QVariant>

#include <functional>
#include <mutex>

// Turns ISO 8601 text into dates and dates into ISO 8601 text.
//
// Parsing is lenient by default: calendar, ordinal and week dates, basic and extended, truncated forms,
// fractional minutes and seconds, and a zone designator; parts the text leaves out come from today in the
// process's time zone, and a text without a zone is read in that zone. Dates are QDateTime in UTC; an
// invalid QDateTime means "no date". The calendar is the proleptic Gregorian one throughout.
//
// Threads: parsing and writing keep no state between calls. defaultTimeZone may be changed while other
// threads use the formatter; the other settings must be set before a formatter is shared.
class ISO8601DateFormatter {
public:
    enum Format : quint32 { Calendar = 0, Ordinal = 1, Week = 2 };

    ISO8601DateFormatter();
    ISO8601DateFormatter(const ISO8601DateFormatter &) = delete;
    ISO8601DateFormatter &operator=(const ISO8601DateFormatter &) = delete;

    // Zone for stringFromDate(date); invalid means the process's time zone. Not used when parsing.
    QTimeZone defaultTimeZone() const;
    void setDefaultTimeZone(const QTimeZone &zone);
    // Output form: Calendar, Ordinal or Week; any other value is a programming error when writing.
    quint32 format() const { return m_format; }
    void setFormat(quint32 format) { m_format = format; }
    // Between hour, minute and second when writing, and when parsing leniently (where only an ASCII
    // separator can match). Must not be NUL when parsing.
    char16_t timeSeparator() const { return m_timeSeparator; }
    void setTimeSeparator(char16_t separator) { m_timeSeparator = separator; }
    // Writing only: append the time of day and the zone.
    bool includeTime() const { return m_includeTime; }
    void setIncludeTime(bool include) { m_includeTime = include; }
    bool parsesStrictly() const { return m_parsesStrictly; }
    void setParsesStrictly(bool strict) { m_parsesStrictly = strict; }
    // Where "today" comes from for texts that leave out the date; the wall clock by default.
    void setNowProvider(std::function<QDateTime()> now) { m_now = std::move(now); }

    // The parser proper. An invalid text gives the empty record, no zone and a not-found range.
    ISO8601DateComponents dateComponentsFromString(const QString &text,
                                                   std::optional<ISO8601TimeZone> *timeZone = nullptr,
                                                   ISO8601Range *range = nullptr) const;
    // The instant the text names, or an invalid QDateTime.
    QDateTime dateFromString(const QString &text, std::optional<ISO8601TimeZone> *timeZone = nullptr,
                             ISO8601Range *range = nullptr) const;
    // True when dateFromString gives a date; stores that date (or none) in *value. Leaves *error alone.
    bool getObjectValue(QDateTime *value, const QString &text, QString *errorDescription = nullptr) const;

    // Components to an instant on the Gregorian calendar, read in `zone` (none: the process's time zone).
    // An unset month is January, an unset time field zero; values outside their range roll over into the
    // neighbouring units (day 0 is the last day of the previous month). Invalid when out of QDateTime's
    // range.
    static QDateTime dateFromComponents(const ISO8601DateComponents &components,
                                        const std::optional<ISO8601TimeZone> &zone);

    // Text in defaultTimeZone (or the process's zone); empty for an invalid date or a bad format.
    QString stringFromDate(const QDateTime &date) const;
    QString stringFromDate(const QDateTime &date, const QTimeZone &zone) const;
    // Calendar or ordinal text with a Unicode date pattern, plus time and zone when includeTime is set.
    QString stringFromDate(const QDateTime &date, const QString &formatString, const QTimeZone &zone) const;
    // ISO week date: "2011-W52-07", with "HH:mm:ss+hhmm" appended directly when includeTime is set.
    QString weekDateStringForDate(const QDateTime &date, const QTimeZone &zone) const;
    // Requires a QDateTime (a programming error otherwise); then stringFromDate.
    QString stringForObjectValue(const QVariant &value) const;

    // The text with every ':' replaced by the separator.
    static QString replaceColonsInString(const QString &text, char16_t timeSeparator);

private:
    QDateTime now() const { return m_now ? m_now() : QDateTime::currentDateTimeUtc(); }

    mutable std::mutex m_defaultTimeZoneMutex;
    QTimeZone m_defaultTimeZone;
    quint32 m_format = Calendar;
    char16_t m_timeSeparator = u':';
    bool m_includeTime = false;
    bool m_parsesStrictly = false;
    std::function<QDateTime()> m_now;
};
