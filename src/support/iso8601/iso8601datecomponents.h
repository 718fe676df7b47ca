#pragma once

#include <QTimeZone>

#include <optional>

// What the ISO 8601 parser found: each field is set or unset. An invalid text gives the empty record.
struct ISO8601DateComponents {
    std::optional<qint64> year;
    std::optional<qint64> month;
    std::optional<qint64> day;
    std::optional<qint64> hour;
    std::optional<qint64> minute;
    std::optional<qint64> second;

    bool isEmpty() const { return !year && !month && !day && !hour && !minute && !second; }
    bool operator==(const ISO8601DateComponents &) const = default;
};

// The zone an ISO 8601 text names: "Z" (UTC) or a fixed offset from UTC.
struct ISO8601TimeZone {
    int offsetSeconds = 0; // east of UTC
    bool isUtc = false;    // named by "Z"

    static ISO8601TimeZone utc() { return {0, true}; }
    static ISO8601TimeZone fromOffset(int seconds) { return {seconds, false}; }

    // The zone as Qt's type; invalid for offsets Qt cannot hold (beyond ±14 hours).
    QTimeZone toTimeZone() const { return isUtc ? QTimeZone::utc() : QTimeZone(offsetSeconds); }
    bool operator==(const ISO8601TimeZone &) const = default;
};

// Where a date was found, in bytes of the text's UTF-8 form.
struct ISO8601Range {
    static constexpr qsizetype NotFound = -1;

    qsizetype location = NotFound;
    qsizetype length = 0;

    bool isFound() const { return location != NotFound; }
    bool operator==(const ISO8601Range &) const = default;
};
