#pragma once

#include "model/entry/dataitem.h"

#include <QDateTime>
#include <QString>

class Clock;

// One headline as a line of text, the way a row of the ticker shows it:
//
//   * 14:03      [City News] Council votes on the new tram line
//
// a "*" for a keyword-marked headline, the entry's local time (its date when it is not from
// today), the feed's display name and the title on one line.
class HeadlineFormatter {
public:
    explicit HeadlineFormatter(const Clock &clock) : m_clock(clock) {}

    QString line(const DataItem &item) const;

    // "HH:mm" for a date of today (local time), "yyyy-MM-dd" otherwise; empty without a date.
    static QString timeText(const QDateTime &date, const QDateTime &now);
    // The title with character references decoded and all white space runs made one space.
    static QString plainTitle(const QString &title);

private:
    const Clock &m_clock;
};
