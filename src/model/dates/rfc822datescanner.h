#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

// A quick reader for the everyday form of the first RSS date pattern, "Tue, 10 Jun 2003 04:00:00 GMT":
// English three-letter weekday and month, a two-digit day, a four-digit year from 1900, two-digit
// time fields, and GMT, UT, UTC, Z or a ±hhmm offset. It answers only texts it is sure of, with exactly the
// date ICU gives for that pattern; for anything else it answers nothing and the caller asks ICU.
class RFC822DateScanner {
public:
    static std::optional<QDateTime> scan(QStringView text);
};
