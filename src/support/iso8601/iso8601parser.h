#pragma once

#include "support/iso8601/iso8601datecomponents.h"

#include <QByteArrayView>

// The result of one parse: the components (empty for an invalid text), the zone the text names, and where
// the date was found.
struct ISO8601ParseResult {
    ISO8601DateComponents components;
    std::optional<ISO8601TimeZone> timeZone;
    ISO8601Range range;

    bool isValid() const { return range.isFound(); }
};

// Reads ISO 8601 date and time text byte by byte. Stateless: safe to call from any thread.
class ISO8601Parser {
public:
    // The date the parts a text leaves out are taken from.
    struct Today {
        qint64 year = 1970;
        qint64 month = 1;
        qint64 day = 1;
    };

    // `timeSeparator` must not be NUL (the caller checks); a non-ASCII separator matches no byte.
    static ISO8601ParseResult parse(QByteArrayView utf8, const Today &today, bool strict,
                                    char16_t timeSeparator);
};
