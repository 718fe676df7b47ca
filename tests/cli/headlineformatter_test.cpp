#include "cli/headlineformatter.h"
#include "model/entry/itemkeys.h"
#include "platform/manualclock.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(HeadlineFormatterTest, showsMarkTimeFeedAndTitleOnOneLine)
{
    const QDateTime noon(QDate(2026, 3, 14), QTime(12, 0), Qt::LocalTime);
    const ManualClock clock(noon.toUTC());
    const HeadlineFormatter formatter(clock);

    DataItem today;
    today.setObject(u"  Council  votes\n on the &amp; tram line "_s, ItemKey::title);
    today.setObject(noon.addSecs(-3600).toUTC(), ItemKey::parsedDate);
    today.setObject(u"City News"_s, ItemKey::name);
    today.setObject(true, ItemKey::mark);
    EXPECT_EQ(formatter.line(today), u"* 11:00      [City News] Council votes on the & tram line"_s);

    DataItem older;
    older.setObject(u"Old news"_s, ItemKey::title);
    older.setObject(noon.addDays(-2).toUTC(), ItemKey::parsedDate);
    older.setObject(u"Archive"_s, ItemKey::name);
    EXPECT_EQ(formatter.line(older), u"  2026-03-12 [Archive] Old news"_s);

    DataItem bare;
    EXPECT_EQ(formatter.line(bare), u"             [] (no title)"_s);
}
