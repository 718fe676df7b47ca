#include "scopedtimezone.h"

#include "support/iso8601/iso8601dateformatter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

const QTimeZone Utc = QTimeZone::utc();

class ISO8601WriteTest : public ::testing::Test {
protected:
    ScopedTimeZone newYork{"America/New_York"};
    ISO8601DateFormatter formatter;
};

TEST_F(ISO8601WriteTest, threeFormatsWithoutTime)
{
    const QDateTime date = utc(2012, 5, 2, 12);
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-05-02"_s);
    formatter.setFormat(ISO8601DateFormatter::Ordinal);
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-123"_s);
    formatter.setFormat(ISO8601DateFormatter::Week);
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-W18-03"_s);
    EXPECT_EQ(formatter.stringFromDate(utc(2012, 1, 1), Utc), u"2011-W52-07"_s);
}

TEST_F(ISO8601WriteTest, timeAndZoneSuffix)
{
    formatter.setIncludeTime(true);
    const QDateTime date = utc(2012, 5, 2, 12, 34, 56);
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-05-02T12:34:56Z"_s);
    EXPECT_EQ(formatter.stringFromDate(date, QTimeZone(3600)), u"2012-05-02T13:34:56+0100"_s);
    EXPECT_EQ(formatter.stringFromDate(date, QTimeZone(-(5 * 3600 + 1800))), u"2012-05-02T07:04:56-0530"_s);
    EXPECT_EQ(formatter.stringFromDate(date, QTimeZone(30)), u"2012-05-02T12:35:26Z"_s)
        << "offsets under a minute are written as Z";
    formatter.setFormat(ISO8601DateFormatter::Ordinal);
    EXPECT_EQ(formatter.stringFromDate(date, QTimeZone(QByteArrayLiteral("Europe/Berlin"))),
              u"2012-123T14:34:56+0200"_s);
    formatter.setFormat(ISO8601DateFormatter::Week);
    EXPECT_EQ(formatter.stringFromDate(date, QTimeZone(3600)), u"2012-W18-0313:34:56+0100"_s);
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-W18-0312:34:56+0000"_s);
}

TEST_F(ISO8601WriteTest, weekDateTimeIsWrittenInTheGivenZone)
{
    // Late on Sunday in UTC is already Monday of the next week in Tokyo; date and time must agree.
    formatter.setFormat(ISO8601DateFormatter::Week);
    formatter.setIncludeTime(true);
    const QDateTime date = utc(2012, 1, 1, 20);
    const QString text = formatter.stringFromDate(date, QTimeZone(QByteArrayLiteral("Asia/Tokyo")));
    EXPECT_EQ(text, u"2012-W01-0105:00:00+0900"_s);
    EXPECT_EQ(formatter.dateFromString(text), date);
}

TEST_F(ISO8601WriteTest, separatorsAndTheDefaultZone)
{
    formatter.setIncludeTime(true);
    formatter.setTimeSeparator(u'.');
    const QDateTime date = utc(2012, 5, 2, 12, 34, 56);
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-05-02T12.34.56Z"_s);
    EXPECT_EQ(formatter.stringFromDate(date), u"2012-05-02T08.34.56-0400"_s) << "process zone: New York";
    formatter.setDefaultTimeZone(QTimeZone(QByteArrayLiteral("Asia/Kolkata")));
    EXPECT_EQ(formatter.stringFromDate(date), u"2012-05-02T18.04.56+0530"_s);
    EXPECT_EQ(formatter.stringForObjectValue(QVariant(date)), u"2012-05-02T18.04.56+0530"_s);

    formatter.setFormat(ISO8601DateFormatter::Week);
    formatter.setTimeSeparator(u'\0');
    EXPECT_EQ(formatter.stringFromDate(date, Utc), u"2012-W18-0312:34:56+0000"_s) << "NUL falls back to ':'";

    EXPECT_EQ(ISO8601DateFormatter::replaceColonsInString(u"HH:mm:ss"_s, u':'), u"HH:mm:ss"_s);
    EXPECT_EQ(ISO8601DateFormatter::replaceColonsInString(u"HH:mm:ss"_s, u'.'), u"HH.mm.ss"_s);
}

TEST_F(ISO8601WriteTest, patternsWithQuotesAndNames)
{
    const QDateTime date = utc(2012, 5, 2, 15, 4, 5);
    EXPECT_EQ(formatter.stringFromDate(date, u"EEE, d MMM yy h:mm a 'o''clock' ''"_s, Utc),
              u"Wed, 2 May 12 3:04 PM o'clock '"_s);
    EXPECT_EQ(formatter.stringFromDate(date, u"EEEE MMMM D G"_s, Utc), u"Wednesday May 123 AD"_s);
    EXPECT_EQ(formatter.stringFromDate(QDateTime(), Utc), QString()) << "no date, no text";
}

// The week-numbering rule agrees with the ISO calendar for every day of 1999–2032.
TEST_F(ISO8601WriteTest, weekNumbersMatchTheIsoCalendar)
{
    formatter.setFormat(ISO8601DateFormatter::Week);
    for (QDate day(1999, 1, 1); day.year() <= 2032; day = day.addDays(1)) {
        int weekYear = 0;
        const int week = day.weekNumber(&weekYear);
        const QString expected = u"%1-W%2-%3"_s.arg(weekYear)
                                     .arg(week, 2, 10, QChar(u'0'))
                                     .arg(day.dayOfWeek(), 2, 10, QChar(u'0'));
        ASSERT_EQ(formatter.stringFromDate(day.startOfDay(Qt::UTC), Utc), expected)
            << day.toString(Qt::ISODate).toStdString();
    }
}

// Format, then parse: the same instant for every format, a range of dates and zones with odd offsets.
TEST_F(ISO8601WriteTest, roundTripsGiveTheSameInstant)
{
    const QList<QTimeZone> zones = {Utc, QTimeZone(QByteArrayLiteral("Europe/Berlin")),
                                    QTimeZone(QByteArrayLiteral("America/Los_Angeles")),
                                    QTimeZone(QByteArrayLiteral("Asia/Kolkata")),
                                    QTimeZone(QByteArrayLiteral("Pacific/Chatham"))};
    ISO8601DateFormatter parser;
    for (quint32 format : {0u, 1u, 2u}) {
        for (char16_t separator : {u':', u'.'}) {
            formatter.setFormat(format);
            formatter.setIncludeTime(true);
            formatter.setTimeSeparator(separator);
            parser.setTimeSeparator(separator);
            for (const QTimeZone &zone : zones) {
                // Every 31 days and 13 hours and a bit from 1950 to 2099, so that every weekday, hour and
                // year boundary comes up (earlier, local mean times have offsets with seconds).
                for (qint64 s = -631'152'000; s < 4'100'000'000; s += 31 * 86400 + 13 * 3600 + 1234) {
                    const QDateTime date = QDateTime::fromSecsSinceEpoch(s, Qt::UTC);
                    const QString text = formatter.stringFromDate(date, zone);
                    ASSERT_EQ(parser.dateFromString(text), date) << text.toStdString();
                }
            }
        }
    }
}

TEST_F(ISO8601WriteTest, dateOnlyRoundTripsGiveTheStartOfTheDayInTheProcessZone)
{
    for (quint32 format : {0u, 1u, 2u}) {
        formatter.setFormat(format);
        for (QDate day(2011, 12, 20); day <= QDate(2013, 1, 10); day = day.addDays(1)) {
            const QDateTime midnight = day.startOfDay(QTimeZone(QByteArrayLiteral("America/New_York")));
            const QString text = formatter.stringFromDate(midnight);
            ASSERT_EQ(formatter.dateFromString(text), midnight.toUTC()) << text.toStdString();
        }
    }
}

} // namespace
