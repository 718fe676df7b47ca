#pragma once

#include "model/entry/dataitem.h"

#include <QDateTime>

// The date a parsed entry is filed under.
class EntryDate {
public:
    // The first of pubDate, published and dc:date the entry has, read by its own format; failing
    // that, the first of them read by the fail-over parser. A lower-case "pubdate" is taken as
    // pubDate. Invalid when the entry has none that reads.
    static QDateTime resolve(DataItem &entry);

    // Dates ahead of `now` come from servers with wrong zones: whole hours are taken back, and a
    // date less than ten minutes ahead becomes `now`.
    static QDateTime correctedForFuture(const QDateTime &date, const QDateTime &now);
};
