#include "cli/headlineformatter.h"

#include "model/parse/feedstrings.h"
#include "platform/clock.h"

using namespace Qt::StringLiterals;

QString HeadlineFormatter::line(const DataItem &item) const
{
    const QString flag = item.mark() ? u"* "_s : u"  "_s;
    const QString time = timeText(item.parsedDate(), m_clock.now()).leftJustified(10);
    QString title = plainTitle(item.title());
    if (title.isEmpty())
        title = u"(no title)"_s;
    return flag + time + u" ["_s + item.name().simplified() + u"] "_s + title;
}

QString HeadlineFormatter::timeText(const QDateTime &date, const QDateTime &now)
{
    if (!date.isValid())
        return QString();
    const QDateTime local = date.toLocalTime();
    if (local.date() == now.toLocalTime().date())
        return local.toString(u"HH:mm"_s);
    return local.toString(u"yyyy-MM-dd"_s);
}

QString HeadlineFormatter::plainTitle(const QString &title)
{
    return FeedStrings::stringByDecodingHTMLEntities(title).simplified();
}
