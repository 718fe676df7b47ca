#include "scopedtimezone.h"

#include "support/iso8601/iso8601dateformatter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

void PrintTo(const ISO8601DateComponents &c, std::ostream *os)
{
    const auto field = [os](const char *name, const std::optional<qint64> &value) {
        *os << name << '=' << (value ? std::to_string(*value) : std::string("unset")) << ' ';
    };
    field("year", c.year);
    field("month", c.month);
    field("day", c.day);
    field("hour", c.hour);
    field("minute", c.minute);
    field("second", c.second);
}

namespace {

ISO8601DateComponents calendar(qint64 y, qint64 mo, qint64 d, qint64 h = 0, qint64 mi = 0, qint64 s = 0)
{
    return {y, mo, d, h, mi, s};
}

ISO8601DateComponents ordinal(qint64 y, qint64 dayOfYear, qint64 h = 0, qint64 mi = 0, qint64 s = 0)
{
    return {y, std::nullopt, dayOfYear, h, mi, s};
}

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// "Today" is Monday 16 March 2026 in Berlin (it is still the 15th in UTC).
class ISO8601ParseTest : public ::testing::Test {
protected:
    ISO8601ParseTest()
    {
        formatter.setNowProvider([] { return utc(2026, 3, 15, 23, 30); });
        strictFormatter.setNowProvider([] { return utc(2026, 3, 15, 23, 30); });
        strictFormatter.setParsesStrictly(true);
    }

    ISO8601DateComponents parse(const QString &text) const
    {
        return formatter.dateComponentsFromString(text);
    }
    ISO8601DateComponents parseStrictly(const QString &text) const
    {
        return strictFormatter.dateComponentsFromString(text);
    }

    ScopedTimeZone berlin{"Europe/Berlin"};
    ISO8601DateFormatter formatter;
    ISO8601DateFormatter strictFormatter;
};

TEST_F(ISO8601ParseTest, calendarDatesInEveryWriting)
{
    EXPECT_EQ(parse(u"2012-05-01"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"20120501"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"2012-0501"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"2012-05"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"2012"_s), calendar(2012, 1, 1));
    EXPECT_EQ(parse(u"120501"_s), calendar(2012, 5, 1)) << "YYMMDD takes today's century";
    EXPECT_EQ(parse(u"12-05-01"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"12-5-01"_s), calendar(2012, 5, 1)) << "one-digit month is lenient only";
    EXPECT_EQ(parse(u"12-0501"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"-1205"_s), calendar(12, 5, 1)) << "-YYMM adds no century";
    EXPECT_EQ(parse(u"-12"_s), calendar(2012, 1, 1));
    EXPECT_EQ(parse(u"-12-05"_s), calendar(2012, 5, 1));
    EXPECT_EQ(parse(u"-7"_s), calendar(2027, 1, 1)) << "a single digit after one hyphen is in today's decade";
    EXPECT_EQ(parse(u"--05"_s), calendar(2026, 5, 1));
    EXPECT_EQ(parse(u"--05-07"_s), calendar(2026, 5, 7));
    EXPECT_EQ(parse(u"--0507"_s), calendar(2026, 5, 7));
    EXPECT_EQ(parse(u"---07"_s), calendar(2026, 3, 7)) << "today is the 16th of March in Berlin";
}

TEST_F(ISO8601ParseTest, centuryOnlyFormIsNotATime)
{
    EXPECT_EQ(parse(u"12:30"_s), calendar(1226, 1, 1));
    EXPECT_EQ(parse(u"20"_s), calendar(2026, 1, 1));
    EXPECT_EQ(parse(u"T12:30"_s), calendar(2026, 3, 16, 12, 30));
}

TEST_F(ISO8601ParseTest, ordinalAndWeekDates)
{
    EXPECT_EQ(parse(u"2012-123"_s), ordinal(2012, 123));
    EXPECT_EQ(parse(u"2012123"_s), ordinal(2012, 123));
    EXPECT_EQ(parse(u"12-123"_s), ordinal(2012, 123));
    EXPECT_EQ(parse(u"-123"_s), ordinal(2026, 123));
    EXPECT_EQ(parse(u"--123"_s), ordinal(2026, 123));
    EXPECT_EQ(formatter.dateFromString(u"2012-123T00:00Z"_s), utc(2012, 5, 2));

    // Week dates become days of the year: Monday of week 1 of 2012 is 2 January.
    EXPECT_EQ(parse(u"2012W011"_s), ordinal(2012, 2));
    EXPECT_EQ(parse(u"2012-W01-1"_s), ordinal(2012, 2));
    EXPECT_EQ(parse(u"2012-W01"_s), ordinal(2012, 2));
    EXPECT_EQ(parse(u"12W011"_s), ordinal(2012, 2));
    EXPECT_EQ(parse(u"12-W01-1"_s), ordinal(2012, 2));
    EXPECT_EQ(parse(u"2012W"_s), calendar(2012, 1, 1)) << "lenient: a W without digits is 1 January";
    EXPECT_EQ(parse(u"-W-3"_s), ordinal(2026, 0)) << "week 1 of 2026 starts on 29 December 2025";
    EXPECT_EQ(parse(u"--W-3"_s), ordinal(2026, 0));
    EXPECT_EQ(parse(u"-W"_s), calendar(2026, 1, 1));
    EXPECT_EQ(parse(u"-W10-2"_s), ordinal(2026, 62));

    // Week 1 that starts in the previous year rolls back across the year boundary.
    EXPECT_EQ(parse(u"2026-W01-1"_s), ordinal(2026, -2));
    EXPECT_EQ(formatter.dateFromString(u"2026-W01-1T00:00Z"_s), utc(2025, 12, 29));
    EXPECT_EQ(formatter.dateFromString(u"2009-W53-7T00:00Z"_s), utc(2010, 1, 3));
}

TEST_F(ISO8601ParseTest, timesAndFractions)
{
    EXPECT_EQ(parse(u"2012-05-01T12:34:56"_s), calendar(2012, 5, 1, 12, 34, 56));
    EXPECT_EQ(parse(u"2012-05-01 12:30"_s), calendar(2012, 5, 1, 12, 30));
    EXPECT_EQ(parse(u"2012-05-01T12"_s), calendar(2012, 5, 1, 12));
    EXPECT_EQ(parse(u"2012-05-01T12:30.5"_s), calendar(2012, 5, 1, 12, 30, 30));
    EXPECT_EQ(parse(u"2012-05-01T12:30,25"_s), calendar(2012, 5, 1, 12, 30, 15));
    EXPECT_EQ(parse(u"2012-05-01T12:34:56.789"_s), calendar(2012, 5, 1, 12, 34, 56));
    EXPECT_EQ(parse(u"20120501T123456+0200"_s), calendar(2012, 5, 1, 12))
        << "minutes are read only after a separator";
    EXPECT_EQ(parse(u"2012-05-01T"_s), calendar(2012, 5, 1));

    ISO8601DateFormatter dots;
    dots.setTimeSeparator(u'.');
    EXPECT_EQ(dots.dateComponentsFromString(u"2012-05-01T12.34.56"_s), calendar(2012, 5, 1, 12, 34, 56));
    EXPECT_EQ(dots.dateComponentsFromString(u"2012-05-01T12.3456"_s), calendar(2012, 5, 1, 12, 34))
        << "with '.' as separator there are no fractions";
}

TEST_F(ISO8601ParseTest, zoneDesignators)
{
    std::optional<ISO8601TimeZone> zone;
    ISO8601Range range;
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:34:56Z"_s, &zone, &range),
              utc(2012, 5, 1, 12, 34, 56));
    EXPECT_EQ(zone, ISO8601TimeZone::utc());
    EXPECT_EQ(zone->toTimeZone().abbreviation(utc(2012, 5, 1)), u"UTC"_s);
    EXPECT_EQ(range, (ISO8601Range{0, 19})) << "the Z is not counted";

    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:34:56+02:00"_s, &zone), utc(2012, 5, 1, 10, 34, 56));
    EXPECT_EQ(zone, ISO8601TimeZone::fromOffset(7200));
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:34:56+0200"_s), utc(2012, 5, 1, 10, 34, 56));
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:34:56-05:30"_s), utc(2012, 5, 1, 18, 4, 56));
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:34:56-5"_s), utc(2012, 5, 1, 17, 34, 56));

    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:00+"_s, &zone), utc(2012, 5, 1, 10)) << "Berlin time";
    EXPECT_FALSE(zone);
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01Z"_s, &zone), utc(2012, 4, 30, 22)) << "no time, no zone";
    EXPECT_FALSE(zone);
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01 12:30"_s), utc(2012, 5, 1, 10, 30));
    EXPECT_EQ(formatter.dateFromString(u"2012-01-01 12:30"_s), utc(2012, 1, 1, 11, 30)) << "winter time";
}

TEST_F(ISO8601ParseTest, localTimesAroundClockChanges)
{
    // Berlin skips 02:00–03:00 on 29 March 2026 and repeats 02:00–03:00 on 25 October 2026.
    EXPECT_EQ(formatter.dateFromString(u"2026-03-29T02:30"_s), utc(2026, 3, 29, 1, 30))
        << "03:30 summer time";
    EXPECT_EQ(formatter.dateFromString(u"2026-03-29T03:00"_s), utc(2026, 3, 29, 1));
    EXPECT_EQ(formatter.dateFromString(u"2026-10-25T02:30"_s), utc(2026, 10, 25, 1, 30))
        << "the second 02:30";
    EXPECT_EQ(formatter.dateFromString(u"2026-10-25T01:59"_s), utc(2026, 10, 24, 23, 59));
}

TEST_F(ISO8601ParseTest, rangeReportsWhereTheDateWasFound)
{
    ISO8601Range range;
    formatter.dateComponentsFromString(u"  2012-05-01"_s, nullptr, &range);
    EXPECT_EQ(range, (ISO8601Range{2, 10}));
    formatter.dateComponentsFromString(u"\u00e9 2012"_s, nullptr, &range);
    EXPECT_FALSE(range.isFound());
    formatter.dateComponentsFromString(u"T10:00 and more"_s, nullptr, &range);
    EXPECT_EQ(range, (ISO8601Range{0, 6}));
    formatter.dateComponentsFromString(u"2012-05-01T10:00:00+01:00 trailing"_s, nullptr, &range);
    EXPECT_EQ(range, (ISO8601Range{0, 25}));
}

TEST_F(ISO8601ParseTest, invalidTextsGiveNothing)
{
    for (const QString &text :
         {u""_s, u"20120"_s, u"123456789"_s, u"   "_s, u"---"_s, u"-:-:"_s, u"T"_s, u"Tx"_s, u"--123456"_s,
          u"----05"_s, u"---123"_s, u"123"_s, u"x2012"_s, u"2012-12345"_s, u"-----1"_s, u"Z"_s, u"+0200"_s}) {
        std::optional<ISO8601TimeZone> zone = ISO8601TimeZone::utc();
        ISO8601Range range{3, 3};
        EXPECT_TRUE(formatter.dateComponentsFromString(text, &zone, &range).isEmpty()) << text.toStdString();
        EXPECT_FALSE(zone);
        EXPECT_FALSE(range.isFound());
        EXPECT_EQ(range.length, 0);
        EXPECT_FALSE(formatter.dateFromString(text).isValid());
        QDateTime out = utc(2000, 1, 1);
        EXPECT_FALSE(formatter.getObjectValue(&out, text));
        EXPECT_FALSE(out.isValid());
    }
}

TEST_F(ISO8601ParseTest, strictModeRejectsWhatLenientModeGuesses)
{
    EXPECT_TRUE(parseStrictly(u"  2012-05-01"_s).isEmpty());
    EXPECT_EQ(parseStrictly(u"2012-05-01"_s), calendar(2012, 5, 1));
    EXPECT_TRUE(parseStrictly(u"2011-366"_s).isEmpty());
    EXPECT_EQ(parseStrictly(u"2012-366"_s), ordinal(2012, 366));
    EXPECT_EQ(parse(u"2011-366"_s), ordinal(2011, 366));
    EXPECT_TRUE(parseStrictly(u"1900366"_s).isEmpty());
    EXPECT_TRUE(parseStrictly(u"--366"_s).isEmpty()) << "2026 is not a leap year";
    EXPECT_TRUE(parseStrictly(u"2012W"_s).isEmpty());
    EXPECT_TRUE(parseStrictly(u"12-5-01"_s).isEmpty());
    EXPECT_TRUE(parseStrictly(u"5"_s).isEmpty());
    EXPECT_EQ(parse(u"5"_s), calendar(526, 1, 1));
    EXPECT_EQ(parseStrictly(u"-6W011"_s), ordinal(2026, -2));
    EXPECT_TRUE(parseStrictly(u"-6-01"_s).isEmpty());
    EXPECT_TRUE(parseStrictly(u"--W-3"_s).isEmpty());

    // Strict mode always reads ':' whatever the separator setting.
    strictFormatter.setTimeSeparator(u'.');
    EXPECT_EQ(parseStrictly(u"2012-05-01T12:34:56"_s), calendar(2012, 5, 1, 12, 34, 56));
}

TEST_F(ISO8601ParseTest, todayComesFromTheProcessTimeZone)
{
    ScopedTimeZone tokyo("Asia/Tokyo");
    EXPECT_EQ(parse(u"---07"_s), calendar(2026, 3, 7));
    ScopedTimeZone honolulu("Pacific/Honolulu");
    EXPECT_EQ(parse(u"T08:00"_s), calendar(2026, 3, 15, 8));
    EXPECT_EQ(formatter.dateFromString(u"T08:00"_s), utc(2026, 3, 15, 18));
}

} // namespace
