#include "model/dates/entrydate.h"

#include "model/dates/feeddate.h"
#include "model/entry/itemkeys.h"
#include "support/iso8601/iso8601dateformatter.h"

#include <cmath>

namespace {

// Values are read trimmed, and most end with the white space that follows their element: a view
// of the text spares a trimmed copy of it.
template <typename Reader> QDateTime dateOfTrimmed(const PropertyValue::View &value, Reader read)
{
    if (value.isText())
        return read(value.text().trimmed());
    const QString text = value.toVariant().toString();
    return read(QStringView(text).trimmed());
}

QString trimmedText(const QVariant &value)
{
    return value.toString().trimmed();
}

} // namespace

QDateTime EntryDate::resolve(DataItem &entry)
{
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    QDateTime date;
    // Parsed where they are stored, without copies.
    entry.readValues(std::array{&keys.pubDate, &keys.published, &keys.dcDate}, [&date](const auto &values) {
        if (values[0].isValid())
            date = dateOfTrimmed(values[0], FeedDate::dateWithRSSPubDate);
        else if (values[1].isValid())
            date = dateOfTrimmed(values[1], FeedDate::dateWithAtomPubDate);
        else if (values[2].isValid())
            date = ISO8601DateFormatter().dateFromString(trimmedText(values[2].toVariant()));
    });
    if (date.isValid())
        return date;

    if (const QVariant lowerCase = entry.objectForKey(keys.pubdate); lowerCase.isValid())
        entry.setObject(lowerCase, keys.pubDate);
    for (const PropertyKey *key : {&keys.pubDate, &keys.published, &keys.dcDate})
        if (const QVariant value = entry.objectForKey(*key); value.isValid())
            return FeedDate::failOverParser(trimmedText(value));
    return QDateTime();
}

QDateTime EntryDate::correctedForFuture(const QDateTime &date, const QDateTime &now)
{
    const double ahead = double(now.msecsTo(date)) / 1000.0;
    if (ahead > 600) {
        QDateTime corrected = date.addSecs(-qint64(std::floor(ahead / 3600)) * 3600);
        if (corrected > now)
            corrected = corrected.addSecs(-3600);
        return corrected;
    }
    return ahead > 0 ? now : date;
}
