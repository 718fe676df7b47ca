#pragma once

#include <QString>

class Clock;
class DataItem;

// A row's second line: the entry's time in the locale's short style when it is from today, else
// its date in the locale's medium style, then a space and the feed's display name. Main thread
// only (the locale's formatters are kept between calls).
class SourceLine {
public:
    // The source's custom name, else its name, else the entry's own "name"; empty when none.
    static QString feedName(const DataItem &item);
    // The date alone, as the line shows it; empty for an entry without a date.
    static QString dateText(const DataItem &item, const Clock &clock);
    // The whole line. An entry without a date shows the name alone.
    static QString text(const DataItem &item, const Clock &clock);
};
