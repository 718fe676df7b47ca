#include "support/iso8601/scopedtimezone.h"

#include "model/dates/feeddate.h"
#include "platform/manualclock.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

class FeedDateAgeTest : public ::testing::Test {
protected:
    QDateTime secondsFromNow(qint64 seconds) const { return clock.now().addSecs(seconds); }

    ScopedTimeZone berlin{"Europe/Berlin"};
    ManualClock clock{utc(2026, 3, 15, 12)};
};

TEST_F(FeedDateAgeTest, agesAreWholeHoursInEitherDirection)
{
    EXPECT_EQ(FeedDate::hoursSinceNow(secondsFromNow(-90 * 60), clock), 1);
    EXPECT_EQ(FeedDate::hoursSinceNow(secondsFromNow(90 * 60), clock), 1);
    EXPECT_EQ(FeedDate::hoursSinceNow(secondsFromNow(-3599), clock), 0);
    EXPECT_EQ(FeedDate::hoursSinceNow(clock.now().addMSecs(-3'599'999), clock), 0) << "truncated to seconds";
    EXPECT_EQ(FeedDate::ageInHours(secondsFromNow(-49 * 3600), clock), 49);
    EXPECT_EQ(FeedDate::hoursSinceNow(QDateTime(), clock), 0);
    EXPECT_EQ(FeedDate::hoursSinceNow(
                  QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::min() + 1, Qt::UTC), clock),
              std::numeric_limits<qint64>::max() / 1000 / 3600)
        << "the farthest past saturates instead of overflowing";
}

TEST_F(FeedDateAgeTest, relativeAgeTexts)
{
    const auto text = [this](qint64 seconds) {
        return FeedDate::localizedTimeIntervalSinceNow(secondsFromNow(-seconds), clock);
    };
    EXPECT_EQ(text(0), u"0 minutes ago"_s);
    EXPECT_EQ(text(1), u"a minute ago"_s);
    EXPECT_EQ(text(60), u"a minute ago"_s);
    EXPECT_EQ(text(61), u"2 minutes ago"_s);
    EXPECT_EQ(text(3599), u"60 minutes ago"_s);
    EXPECT_EQ(text(3600), u"a hour ago"_s);
    EXPECT_EQ(text(7199), u"a hour ago"_s);
    EXPECT_EQ(text(7200), u"2 hours ago"_s);
    EXPECT_EQ(text(-7200), u"2 hours ago"_s) << "the future reads the same";
}

TEST_F(FeedDateAgeTest, todayIsTheCalendarDayInTheProcessZone)
{
    // 12:00 UTC is 13:00 in Berlin; today runs from 23:00 UTC on the 14th to 23:00 UTC on the 15th.
    EXPECT_TRUE(FeedDate::dateIsToday(utc(2026, 3, 14, 23), clock)) << "the start of today";
    EXPECT_TRUE(FeedDate::dateIsToday(utc(2026, 3, 15, 22, 59, 59), clock));
    EXPECT_FALSE(FeedDate::dateIsToday(utc(2026, 3, 15, 23), clock)) << "the start of tomorrow";
    EXPECT_FALSE(FeedDate::dateIsToday(utc(2026, 3, 14, 22, 59, 59), clock));
    EXPECT_FALSE(FeedDate::dateIsToday(QDateTime(), clock));

    ScopedTimeZone tokyo("Asia/Tokyo"); // 21:00 on the 15th; the day began at 15:00 UTC on the 14th
    EXPECT_FALSE(FeedDate::dateIsToday(utc(2026, 3, 14, 14, 59), clock));
    EXPECT_TRUE(FeedDate::dateIsToday(utc(2026, 3, 14, 15), clock));
    EXPECT_TRUE(FeedDate::dateIsToday(utc(2026, 3, 15, 14, 59), clock));
}

TEST_F(FeedDateAgeTest, daysWithAClockChangeCountInFull)
{
    // 29 March 2026 has 23 hours in Berlin, 25 October 2026 has 25.
    clock.setNow(utc(2026, 3, 29, 10));
    EXPECT_TRUE(FeedDate::dateIsToday(utc(2026, 3, 28, 23), clock));
    EXPECT_FALSE(FeedDate::dateIsToday(utc(2026, 3, 29, 22), clock)) << "midnight of the 30th, 23 h later";
    clock.setNow(utc(2026, 10, 25, 10));
    EXPECT_TRUE(FeedDate::dateIsToday(utc(2026, 10, 25, 22, 30), clock)) << "the 25th hour";
    EXPECT_FALSE(FeedDate::dateIsToday(utc(2026, 10, 25, 23), clock));
}

} // namespace
