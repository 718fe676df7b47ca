#include "ticker/rows/sourceline.h"

#include "model/dates/feeddate.h"
#include "model/dates/localedateformatter.h"
#include "model/entry/itemkeys.h"
#include "model/source/datasource.h"

#include <QLocale>

namespace {

using Style = LocaleDateFormatter::Style;

// The formatters in the current locale, which a row sets at every refresh.
LocaleDateFormatter &timeFormatter()
{
    static LocaleDateFormatter formatter(Style::None, Style::Short);
    formatter.setLocale(QLocale());
    return formatter;
}

LocaleDateFormatter &dateFormatter()
{
    static LocaleDateFormatter formatter(Style::Medium, Style::None);
    formatter.setLocale(QLocale());
    return formatter;
}

} // namespace

QString SourceLine::feedName(const DataItem &item)
{
    if (const std::shared_ptr<Datasource> source = Datasource::of(item)) {
        const QString custom = source->customName();
        if (!custom.isEmpty())
            return custom;
        const QString name = source->name();
        if (!name.isEmpty())
            return name;
    }
    return item.objectForKey(ItemKey::name).toString();
}

QString SourceLine::dateText(const DataItem &item, const Clock &clock)
{
    const QDateTime date = item.parsedDate();
    if (!date.isValid())
        return {};
    if (FeedDate::dateIsToday(date, clock))
        return timeFormatter().stringFromDate(date);
    return dateFormatter().stringFromDate(date);
}

QString SourceLine::text(const DataItem &item, const Clock &clock)
{
    const QString date = dateText(item, clock);
    const QString name = feedName(item);
    if (name.isEmpty())
        return date;
    if (date.isEmpty())
        return name;
    return date + QLatin1Char(' ') + name;
}
