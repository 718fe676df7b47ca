#include "support/json/cdatascanner.h"
#include "support/json/decimalnumber.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

TEST(CDataScannerTest, movesOverSingleBytesAndStopsAtTheEnd)
{
    CDataScanner scanner(QByteArrayLiteral("ab"));
    EXPECT_EQ(scanner.currentCharacter(), 'a');
    EXPECT_FALSE(scanner.scanCharacter('b'));
    EXPECT_TRUE(scanner.scanCharacter('a'));
    EXPECT_EQ(scanner.scanCharacter(), 'b');
    EXPECT_TRUE(scanner.isAtEnd());
    EXPECT_EQ(scanner.currentCharacter(), '\0');
    EXPECT_EQ(scanner.scanCharacter(), '\0');
    EXPECT_EQ(scanner.scanLocation(), 2);
}

TEST(CDataScannerTest, newDataAndLocationMoveThePosition)
{
    CDataScanner scanner(QByteArrayLiteral("hello"));
    scanner.setScanLocation(3);
    EXPECT_EQ(scanner.remainingString(), u"lo"_s);
    EXPECT_EQ(scanner.bytesRemaining(), 2);
    scanner.setScanLocation(99);
    EXPECT_TRUE(scanner.isAtEnd());
    scanner.setData(QByteArrayLiteral("xy"));
    EXPECT_EQ(scanner.scanLocation(), 0);
    EXPECT_EQ(scanner.remainingData(), QByteArrayLiteral("xy"));
    scanner.setData(QByteArray());
    EXPECT_EQ(scanner.length(), 0);
    EXPECT_TRUE(scanner.isAtEnd());
    EXPECT_EQ(scanner.currentCharacter(), '\0');
}

TEST(CDataScannerTest, matchesLiteralsWholeOrNotAtAll)
{
    CDataScanner scanner(u"trüe true"_s.toUtf8());
    QString value;
    EXPECT_FALSE(scanner.scanUTF8String("true", &value));
    EXPECT_TRUE(scanner.scanString(u"trü"_s, &value));
    EXPECT_EQ(value, u"trü"_s);
    EXPECT_TRUE(scanner.scanUpToString(u"true"_s, &value));
    EXPECT_EQ(value, u"e "_s);
    EXPECT_FALSE(scanner.scanUpToString(u"true"_s, &value));
    EXPECT_TRUE(scanner.scanUTF8String("true"));
    EXPECT_FALSE(scanner.scanUTF8String("x"));
}

TEST(CDataScannerTest, scansRunsInAndOutsideASet)
{
    CDataScanner scanner(QByteArrayLiteral("  \t\nabc123;"));
    scanner.skipWhitespace();
    EXPECT_EQ(scanner.scanLocation(), 4);
    QString value;
    EXPECT_FALSE(scanner.scanCharactersFromSet(ByteSet("0123456789"), &value));
    EXPECT_TRUE(scanner.scanUpToCharactersFromSet(ByteSet("0123456789"), &value));
    EXPECT_EQ(value, u"abc"_s);
    EXPECT_TRUE(scanner.scanCharactersFromSet(ByteSet("0123456789"), &value));
    EXPECT_EQ(value, u"123"_s);
    QByteArray data;
    EXPECT_FALSE(scanner.scanDataOfLength(2, &data));
    EXPECT_TRUE(scanner.scanDataOfLength(1, &data));
    EXPECT_EQ(data, QByteArrayLiteral(";"));
}

TEST(CDataScannerTest, convertsNumbersByTheirCharacters)
{
    CDataScanner scanner(QByteArrayLiteral("1.5e3 -12x 010 09 1e5 abc"));
    QVariant number;
    ASSERT_TRUE(scanner.scanNumber(&number));
    EXPECT_EQ(number.value<DecimalNumber>(), DecimalNumber::fromString("1500"));
    scanner.skipWhitespace();
    ASSERT_TRUE(scanner.scanNumber(&number));
    EXPECT_EQ(number.metaType().id(), QMetaType::LongLong);
    EXPECT_EQ(number.toLongLong(), -12);
    EXPECT_EQ(scanner.currentCharacter(), 'x');
    scanner.scanCharacter();
    for (const quint64 expected : {8ULL, 0ULL, 1ULL}) {
        scanner.skipWhitespace();
        ASSERT_TRUE(scanner.scanNumber(&number));
        EXPECT_EQ(number.metaType().id(), QMetaType::ULongLong);
        EXPECT_EQ(number.toULongLong(), expected);
    }
    scanner.skipWhitespace();
    EXPECT_FALSE(scanner.scanNumber(&number));
    DecimalNumber decimal;
    CDataScanner decimals(QByteArrayLiteral("-2.50"));
    ASSERT_TRUE(decimals.scanDecimalNumber(&decimal));
    EXPECT_EQ(decimal.toString(), u"-2.5"_s);
}

TEST(CDataScannerTest, integersKeepTheirValueUpToTheLimitsOfTheirType)
{
    CDataScanner scanner(QByteArrayLiteral("123456789012345678 1234567890123456789 18446744073709551615 "
                                           "18446744073709551616 -9223372036854775808 -9223372036854775809 "
                                           "-123456789012345678 12-3 -4e2 7"));
    constexpr auto uMax = std::numeric_limits<quint64>::max();
    constexpr auto iMin = std::numeric_limits<qint64>::min();
    const std::vector<QVariant> expected{QVariant(123456789012345678ULL),
                                         QVariant(1234567890123456789ULL),
                                         QVariant(uMax),
                                         QVariant(uMax),
                                         QVariant(iMin),
                                         QVariant(iMin),
                                         QVariant(-123456789012345678LL),
                                         QVariant(12LL),
                                         QVariant(-4LL),
                                         QVariant(7ULL)};
    for (const QVariant &value : expected) {
        scanner.skipWhitespace();
        QVariant number;
        ASSERT_TRUE(scanner.scanNumber(&number));
        EXPECT_EQ(number.metaType(), value.metaType()) << value.toString().toStdString();
        EXPECT_EQ(number, value);
    }
    EXPECT_TRUE(scanner.isAtEnd());
}

TEST(CDataScannerTest, readsCommentsOnlyWhenAskedTo)
{
    CDataScanner scanner(QByteArrayLiteral("/* one */// two\nrest /* open"));
    QString comment;
    EXPECT_FALSE(scanner.scanCPlusPlusStyleComment(&comment));
    ASSERT_TRUE(scanner.scanCStyleComment(&comment));
    EXPECT_EQ(comment, u" one "_s);
    ASSERT_TRUE(scanner.scanCPlusPlusStyleComment(&comment));
    EXPECT_EQ(comment, u" two"_s);
    EXPECT_EQ(scanner.currentCharacter(), '\n');
    scanner.setScanLocation(21);
    EXPECT_FALSE(scanner.scanCStyleComment(&comment));
    EXPECT_EQ(scanner.scanLocation(), 21);
}

TEST(CDataScannerTest, describesTheScanLocation)
{
    CDataScanner scanner(QByteArrayLiteral("the first line\r\nsecond line, and more text after it"));
    scanner.setScanLocation(22);
    EXPECT_EQ(scanner.lineOfScanLocation(), 2);
    const QVariantMap info = scanner.userInfoForScanLocation();
    EXPECT_EQ(info.value(u"line"_s).toLongLong(), 2);
    EXPECT_EQ(info.value(u"character"_s).toLongLong(), 8); // 22 - (15 - 1)
    EXPECT_EQ(info.value(u"location"_s).toLongLong(), 22);
    EXPECT_EQ(info.value(u"snippet"_s).toString(), u"e first line\r\nsecond!HERE>! line, and more text"_s);
}

} // namespace
