#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <unicode/uversion.h>

#include <memory>

U_NAMESPACE_BEGIN
class DateFormat;
U_NAMESPACE_END

// A date in one of the locale's own styles ("1:05 PM", "Jan 5, 2024", ...), in the process's time
// zone (TZ, else the system's). QLocale has no medium date, so the styles come from ICU.
// Not thread-safe: one formatter per thread.
class LocaleDateFormatter {
public:
    enum class Style { None, Short, Medium, Long, Full };

    // Styles for the date part and the time part; None leaves a part out.
    LocaleDateFormatter(Style dateStyle, Style timeStyle);
    ~LocaleDateFormatter();
    LocaleDateFormatter(const LocaleDateFormatter &) = delete;
    LocaleDateFormatter &operator=(const LocaleDateFormatter &) = delete;

    // Formats in this locale from now on; the formatter is rebuilt only when the locale differs.
    void setLocale(const QLocale &locale);

    // The date as text; empty for no date.
    QString stringFromDate(const QDateTime &date);

private:
    void rebuild();
    void followTimeZone();

    Style m_dateStyle;
    Style m_timeStyle;
    QString m_localeName;
    QByteArray m_zoneId;
    std::unique_ptr<icu::DateFormat> m_format;
};
