#pragma once

#include <QDateTime>
#include <QString>

// The last resort for feed dates: reads "year[-month[-day]][Thour[:minute[(:|.)second[.fraction]]]]" and
// an optional zone, "Z" or an hour offset with optional ":minutes". White space between fields is skipped,
// letters match in either case, numbers may carry a sign. Two-digit years are 20xx; a missing day is the
// 1st; a date without a time stands for the end of its day (23:59). Anything out of place gives no date.
class FailOverScanner {
public:
    static QDateTime scan(const QString &text);
};
