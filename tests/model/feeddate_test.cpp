#include "support/iso8601/scopedtimezone.h"

#include "model/dates/failoverscanner.h"
#include "model/dates/feeddate.h"
#include "model/dates/rssdateformats.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// The parsers must not depend on the machine's zone: run them in one far from UTC.
class FeedDateTest : public ::testing::Test {
protected:
    ScopedTimeZone auckland{"Pacific/Auckland"};
};

TEST_F(FeedDateTest, rssDatesWithTheZonesFeedsUse)
{
    const QString day = u"Tue, 10 Jun 2003 04:00:00 "_s;
    const QDateTime gmt = utc(2003, 6, 10, 4);
    for (const QString &zone : {u"GMT"_s, u"UT"_s, u"UTC"_s, u"Z"_s, u"+0000"_s, u"gmt"_s, u"GMT+00:00"_s})
        EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + zone)), gmt) << zone.toStdString();
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"-0500"_s)), utc(2003, 6, 10, 9));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"+05:30"_s)), utc(2003, 6, 9, 22, 30));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"GMT+02:00"_s)), utc(2003, 6, 10, 2));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(u"Tue, 10 June 2003 04:00:00 GMT"_s), gmt);
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(u"Tuesday, 10 Jun 2003 04:00:00 GMT"_s), gmt);
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(u"Wed, 10 Jun 2003 04:00:00 GMT"_s), gmt)
        << "the weekday is not checked";

    // Long and generic names go to the later patterns.
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"Eastern Standard Time"_s)), utc(2003, 6, 10, 9));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"EST~EST"_s)), utc(2003, 6, 10, 9));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"ET~ET"_s)), utc(2003, 6, 10, 8));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"Eastern Time"_s)), utc(2003, 6, 10, 8));
    EXPECT_EQ(FeedDate::dateWithRSSPubDate(QString(day + u"Central European Time"_s)), utc(2003, 6, 10, 2));

    // Abbreviations and zone identifiers match none of the patterns; the fail-over parser reads the
    // abbreviations.
    for (const QString &zone : {u"EST"_s, u"EDT"_s, u"PST"_s, u"CEST"_s, u"Europe/Berlin"_s})
        EXPECT_FALSE(FeedDate::dateWithRSSPubDate(QString(day + zone)).isValid()) << zone.toStdString();
    EXPECT_EQ(FeedDate::failOverParser(day + u"EST"_s), utc(2003, 6, 10, 9));
    EXPECT_EQ(FeedDate::failOverParser(day + u"EDT"_s), utc(2003, 6, 10, 8));
    EXPECT_EQ(FeedDate::failOverParser(day + u"PST"_s), utc(2003, 6, 10, 12));
    EXPECT_EQ(FeedDate::failOverParser(day + u"CEST"_s), utc(2003, 6, 10, 2));
    EXPECT_FALSE(FeedDate::failOverParser(day + u"Europe/Berlin"_s).isValid());
}

TEST_F(FeedDateTest, rssDatesThatArePlainlyNotDates)
{
    for (const QString &text :
         {u""_s, u"Tue, 32 Jun 2003 04:00:00 GMT"_s, u"Tue, 10 Jun 2003 24:00:00 GMT"_s,
          u"Tue, 10 Jun 2003 04:00:00 GMT "_s, u"Tue, 10 Jun 2003 04:00 GMT"_s, u"10 Jun 2003 04:00:00 GMT"_s,
          u"Tue, 10 Jun 2003 04:00:00"_s, u"Tue, 29 Feb 2003 04:00:00 GMT"_s})
        EXPECT_FALSE(FeedDate::dateWithRSSPubDate(text).isValid()) << text.toStdString();

    // The patterns want two-digit days; curl reads the rest.
    EXPECT_FALSE(FeedDate::dateWithRSSPubDate(u"Tue, 1 Jul 2003 04:00:00 GMT"_s).isValid());
    EXPECT_EQ(FeedDate::failOverParser(u"Tue, 1 Jul 2003 04:00:00 GMT"_s), utc(2003, 7, 1, 4));

    // "yyyy" alone would make "03" the year 3; the fail-over parser reads it as 2003.
    EXPECT_FALSE(FeedDate::dateWithRSSPubDate(u"Tue, 10 Jun 03 04:00:00 GMT"_s).isValid());
    EXPECT_EQ(FeedDate::failOverParser(u"Tue, 10 Jun 03 04:00:00 GMT"_s), utc(2003, 6, 10, 4));
}

TEST_F(FeedDateTest, firstAcceptingPatternWins)
{
    RSSDateFormats &formats = RSSDateFormats::forThisThread();
    for (const QString &text :
         {u"Tue, 10 Jun 2003 04:00:00 GMT"_s, u"Tue, 10 Jun 2003 04:00:00 Eastern Time"_s,
          u"Tue, 10 Jun 2003 04:00:00 Eastern Standard Time"_s, u"Tue, 10 Jun 2003 04:00:00 ET~ET"_s,
          u"Tue, 10 Jun 2003 04:00:00 EST~EST"_s}) {
        QDateTime first;
        for (int i = 0; i < RSSDateFormats::PatternCount && !first.isValid(); ++i)
            first = formats.parseWithPattern(i, text);
        EXPECT_TRUE(first.isValid());
        EXPECT_EQ(FeedDate::dateWithRSSPubDate(text), first) << text.toStdString();
    }
}

TEST_F(FeedDateTest, atomDatesOnlyInTheExactForm)
{
    EXPECT_EQ(FeedDate::dateWithAtomPubDate(u"2003-12-13T18:30:02Z"_s), utc(2003, 12, 13, 18, 30, 2));
    EXPECT_EQ(FeedDate::dateWithAtomPubDate(u"2004-02-29T00:00:00Z"_s), utc(2004, 2, 29));
    for (const QString &text :
         {u"2003-12-13T18:30:02+01:00"_s, u"2003-12-13T18:30:02.5Z"_s, u"2003-12-13"_s,
          u"2003-12-13 18:30:02Z"_s, u"2003-12-13T18:30:02z"_s, u"2003-13-13T18:30:02Z"_s,
          u"2003-02-29T18:30:02Z"_s, u"2003-12-13T24:00:00Z"_s, u"2003-12-13T18:60:02Z"_s,
          u"2003-12-13T18:30:60Z"_s, u"0000-01-01T00:00:00Z"_s, u"２００３-12-13T18:30:02Z"_s,
          u" 2003-12-13T18:30:02Z"_s, u""_s})
        EXPECT_FALSE(FeedDate::dateWithAtomPubDate(text).isValid()) << text.toStdString();
}

TEST_F(FeedDateTest, curlReadsOnlyPlainAscii)
{
    EXPECT_EQ(FeedDate::getDateFromString(u"Sun, 06 Nov 1994 08:49:37 GMT"_s), utc(1994, 11, 6, 8, 49, 37));
    EXPECT_EQ(FeedDate::getDateFromString(u"Sunday, 06-Nov-94 08:49:37 GMT"_s), utc(1994, 11, 6, 8, 49, 37));
    EXPECT_FALSE(FeedDate::getDateFromString(u"Sun, 06 Nov 1994 08:49:37 GMT\u00a0"_s).isValid());
    EXPECT_FALSE(FeedDate::getDateFromString(u"Dim, 06 Nov 1994 08:49:37 GMT \u00e9"_s).isValid());
    EXPECT_FALSE(
        FeedDate::getDateFromString(u"Sun, 06 Nov 1994 08:49:37 GMT"_s + QChar(0) + u"x"_s).isValid());
    EXPECT_FALSE(FeedDate::getDateFromString(u"not a date"_s).isValid());
    EXPECT_FALSE(FeedDate::getDateFromString(QString()).isValid());
}

TEST_F(FeedDateTest, failOverRepairsBeforeAskingCurl)
{
    EXPECT_EQ(FeedDate::failOverParser(u"  Tue, 10 Jun 2003 04:00 UT\n"_s), utc(2003, 6, 10, 4));
    EXPECT_EQ(FeedDate::failOverParser(u"10 Jun 2003 15:21 GMT"_s), utc(2003, 6, 10, 15, 21));
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T18:30Z"_s), utc(2003, 12, 13, 18, 30));
    EXPECT_EQ(FeedDate::failOverParser(u"20031213"_s), utc(2003, 12, 13)) << "curl reads the compact form";
}

TEST_F(FeedDateTest, failOverScanReadsIsoLikeDates)
{
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T18:30:02+01:00"_s), utc(2003, 12, 13, 17, 30, 2));
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T18:30:02-05"_s), utc(2003, 12, 13, 23, 30, 2));
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T18:30:02.123Z"_s), utc(2003, 12, 13, 18, 30, 2));
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T18:30.02Z"_s), utc(2003, 12, 13, 18, 30))
        << "the seconds repair turns it into 18:30:00.02";
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13"_s), utc(2003, 12, 13, 23, 59)) << "end of the day";
    EXPECT_EQ(FeedDate::failOverParser(u"03-12-13"_s), utc(2003, 12, 13, 23, 59));
    EXPECT_EQ(FeedDate::failOverParser(u"2003 - 12 - 13 t 18:30"_s), utc(2003, 12, 13, 18, 30));
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T25:00Z"_s), utc(2003, 12, 13, 1)) << "hours wrap at 24";
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T-1:00Z"_s), utc(2003, 12, 12, 23))
        << "and may be negative";
}

TEST_F(FeedDateTest, failOverScanRejectsFieldsOutOfRange)
{
    for (const QString &text :
         {u"2003-00-13"_s, u"2003-13-13"_s, u"2003-12-00"_s, u"2003-12-32"_s, u"2003-12-13T18:60"_s,
          u"2003-12-13T18:30:60"_s, u"2003-12-13T18:-1"_s, u"2003-12-13T18:30:02+13"_s,
          u"2003-12-13T18:30:02-13"_s, u"2003-12-13T18:30:02."_s, u"2003-12-13T"_s, u"2003-"_s, u"2003-12-"_s,
          u"2003-12-13 GMT"_s, u"no date"_s, u""_s, u" \t\n"_s, u"-:-:-"_s})
        EXPECT_FALSE(FeedDate::failOverParser(text).isValid()) << text.toStdString();
}

TEST_F(FeedDateTest, failOverScanKeepsZoneMinutesAndMissingDaysInTheirMonth)
{
    EXPECT_EQ(FailOverScanner::scan(u"2003-12-13T18:30:02+05:30"_s), utc(2003, 12, 13, 13, 0, 2));
    EXPECT_EQ(FailOverScanner::scan(u"2003-12-13T18:30:02-03:30"_s), utc(2003, 12, 13, 22, 0, 2));
    EXPECT_EQ(FailOverScanner::scan(u"2003-12-13T18:30:02-00:30"_s), utc(2003, 12, 13, 19, 0, 2));
    EXPECT_EQ(FailOverScanner::scan(u"2003-12-13T18:30:02+02:xx"_s), utc(2003, 12, 13, 16, 30, 2));
    EXPECT_EQ(FailOverScanner::scan(u"2003-12"_s), utc(2003, 12, 1, 23, 59));
    EXPECT_EQ(FailOverScanner::scan(u"2003"_s), utc(2003, 1, 1, 23, 59));
}

TEST_F(FeedDateTest, hugeNumbersSaturateAndGiveNoDate)
{
    const QString digits(5000, u'9');
    EXPECT_EQ(FeedDate::failOverParser(u"2003-12-13T"_s + digits), utc(2003, 12, 13, 7))
        << "a saturated hour wraps at 24 like any other";
    const QStringList texts = {digits, u"-"_s + digits + u"-12-13"_s, u"2003-12-13T18:30:02-"_s + digits,
                               u"Tue, 10 Jun "_s + digits + u" 04:00:00 GMT"_s};
    for (const QString &text : texts)
        EXPECT_FALSE(FeedDate::failOverParser(text).isValid()) << text.left(40).toStdString();
    EXPECT_FALSE(
        FeedDate::dateWithRSSPubDate(QString(u"Tue, 10 Jun "_s + digits + u" 04:00:00 GMT"_s)).isValid());
}

} // namespace
