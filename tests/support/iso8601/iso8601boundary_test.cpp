#include "scopedtimezone.h"

#include "support/iso8601/iso8601dateformatter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

const std::optional<ISO8601TimeZone> InUtc = ISO8601TimeZone::utc();

ISO8601DateComponents components(qint64 y, std::optional<qint64> mo, qint64 d, qint64 h = 0)
{
    return {y, mo, d, h, 0, 0};
}

TEST(ISO8601ComponentsTest, outOfRangeFieldsRollOver)
{
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2012, 3, 0), InUtc), utc(2012, 2, 29));
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2012, 1, -1), InUtc), utc(2011, 12, 30));
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2012, std::nullopt, 366), InUtc),
              utc(2012, 12, 31));
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2011, std::nullopt, 366), InUtc),
              utc(2012, 1, 1));
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2012, 13, 1), InUtc), utc(2013, 1, 1));
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2012, 0, 1), InUtc), utc(2011, 12, 1));
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents(components(2012, 2, 28, 25), InUtc),
              utc(2012, 2, 29, 1));
    EXPECT_EQ(
        ISO8601DateFormatter::dateFromComponents(components(2012, 5, 1), ISO8601TimeZone::fromOffset(-3600)),
        utc(2012, 5, 1, 1));
    EXPECT_FALSE(ISO8601DateFormatter::dateFromComponents({}, InUtc).isValid()) << "no year, no date";
}

TEST(ISO8601ComponentsTest, extremeValuesGiveNoDateInsteadOfOverflowing)
{
    const qint64 most = std::numeric_limits<qint64>::max();
    const qint64 least = std::numeric_limits<qint64>::min();
    for (const ISO8601DateComponents &c : {ISO8601DateComponents{most, most, most, most, most, most},
                                           ISO8601DateComponents{least, least, least, least, least, least},
                                           ISO8601DateComponents{most, least, most, least, most, least},
                                           ISO8601DateComponents{300'000'000, 1, 1, 0, 0, 0}}) {
        EXPECT_FALSE(ISO8601DateFormatter::dateFromComponents(c, InUtc).isValid());
        EXPECT_FALSE(ISO8601DateFormatter::dateFromComponents(c, std::nullopt).isValid());
    }
    EXPECT_EQ(ISO8601DateFormatter::dateFromComponents({1970, 1, 1, 0, 0, -1}, InUtc),
              utc(1969, 12, 31, 23, 59, 59));
}

class ISO8601BadInputTest : public ::testing::Test {
protected:
    ISO8601BadInputTest()
    {
        formatter.setNowProvider([] { return utc(2026, 3, 15, 12); });
    }

    ScopedTimeZone berlin{"Europe/Berlin"};
    ISO8601DateFormatter formatter;
};

TEST_F(ISO8601BadInputTest, hugeNumbersWrapOrGiveNoDate)
{
    const QString manyDigits(100'000, u'9');
    EXPECT_FALSE(formatter.dateFromString(manyDigits).isValid());
    EXPECT_FALSE(formatter.dateFromString(u"2012-05-01T12:"_s + manyDigits).isValid())
        << "an infinite minute has no instant";
    EXPECT_FALSE(formatter.dateFromString(u"2012-05-01T12:00:"_s + manyDigits + u".5"_s).isValid());
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T12:00:00."_s + QString(100'000, u'3') + u"Z"_s),
              utc(2012, 5, 1, 12))
        << "an endless fraction is still under one second";
    // Day and month run through the unsigned 32-bit reader, which wraps; the result is some date.
    EXPECT_TRUE(formatter.dateFromString(u"2012-05-"_s + manyDigits).isValid());
    EXPECT_TRUE(formatter.dateFromString(u"2012-05-99999999999999999999T00Z"_s).isValid());
    EXPECT_EQ(formatter.dateFromString(u"9999-12-31T23:59:59Z"_s), utc(9999, 12, 31, 23, 59, 59));
    EXPECT_EQ(formatter.dateFromString(u"0000-01-01T00:00:00Z"_s),
              QDateTime(QDate(-1, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(formatter.dateFromString(u"2012-05-01T99:99Z"_s), utc(2012, 5, 5, 4, 39));
}

TEST_F(ISO8601BadInputTest, arbitraryBytesNeverCrash)
{
    // Every pair of interesting bytes after every prefix form, in both modes.
    const QByteArray alphabet = QByteArrayLiteral("0123456789-:.,TWZ+ \t\x80\xff");
    const QList<QByteArray> prefixes = {"", "2012", "2012-", "12-", "-", "--", "2012-05-01T12", "T1"};
    ISO8601DateFormatter strict;
    strict.setParsesStrictly(true);
    for (const QByteArray &prefix : prefixes)
        for (char a : alphabet)
            for (char b : alphabet) {
                const QString text = QString::fromUtf8(prefix + a + b + a);
                ISO8601Range range;
                formatter.dateFromString(text, nullptr, &range);
                EXPECT_LE(range.location + range.length, text.toUtf8().size());
                strict.dateFromString(text, nullptr, &range);
                EXPECT_LE(range.location + range.length, text.toUtf8().size());
            }
    EXPECT_FALSE(formatter.dateFromString(QString(QChar(0)) + u"2012"_s).isValid());
    EXPECT_EQ(formatter.dateFromString(u"2012"_s + QChar(0)), utc(2011, 12, 31, 23));
}

TEST_F(ISO8601BadInputTest, programmingErrorsFailLoudlyInDebugAndGiveNothingOtherwise)
{
    ISO8601DateFormatter nul;
    nul.setTimeSeparator(u'\0');
    ISO8601DateFormatter badFormat;
    badFormat.setFormat(7);
#ifdef QT_NO_DEBUG
    EXPECT_FALSE(nul.dateFromString(u"2012-05-01"_s).isValid());
    EXPECT_TRUE(badFormat.stringFromDate(utc(2012, 5, 1)).isEmpty());
    EXPECT_TRUE(formatter.stringForObjectValue(QVariant(42)).isEmpty());
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(nul.dateFromString(u"2012-05-01"_s), "Time separator must not be NUL.");
    EXPECT_DEATH(badFormat.stringFromDate(utc(2012, 5, 1)),
                 "self.format was 7, not calendar \\(0\\), week \\(2\\), or ordinal \\(1\\)");
    EXPECT_DEATH(formatter.stringForObjectValue(QVariant(42)), "Invalid parameter not satisfying: ");
#endif
}

} // namespace
