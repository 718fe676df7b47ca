#include "support/json/decimalnumber.h"

#include <QVariant>
#include <gtest/gtest.h>

namespace {

QByteArray json(const char *text)
{
    return DecimalNumber::fromString(text).toJSON();
}

TEST(DecimalNumberTest, keepsEveryDigitOfItsText)
{
    EXPECT_EQ(json("0.1"), "0.1");
    EXPECT_EQ(json("123456789012345678901234567890.000000000000000000001"),
              "123456789012345678901234567890.000000000000000000001");
    EXPECT_EQ(json("-0.000123"), "-0.000123");
    EXPECT_EQ(DecimalNumber::fromString("0.1").toDouble(), 0.1);
}

TEST(DecimalNumberTest, writesWithAPointSoThatItReadsBackAsADecimal)
{
    EXPECT_EQ(json("1.5e3"), "1500.0");
    EXPECT_EQ(json("2.50"), "2.5");
    EXPECT_EQ(json("0.0"), "0.0");
    EXPECT_EQ(json("-0.0"), "0.0");
    EXPECT_EQ(json("1.5e300"), "1.5e+300");
    EXPECT_EQ(json("1.0e-300"), "1.0e-300");
    EXPECT_EQ(DecimalNumber::fromString("1.5e300").toDouble(), 1.5e300);
    EXPECT_EQ(DecimalNumber::fromString("1.0e99999").toDouble(), std::numeric_limits<double>::infinity());
}

TEST(DecimalNumberTest, readsTheLeadingNumberOfTheText)
{
    EXPECT_EQ(json("1.5.7"), "1.5");
    EXPECT_EQ(json("1.5e"), "1.5");
    EXPECT_EQ(json("1.5e+-3"), "1.5");
    EXPECT_EQ(json(".5"), "0.5");
    EXPECT_EQ(json("."), "0.0");
    EXPECT_EQ(json("-."), "0.0");
    EXPECT_EQ(json("+2.0"), "2.0");
}

TEST(DecimalNumberTest, hugeExponentsStayBoundedInSize)
{
    for (const char *text : {"51.65e999999999999999999", "0.0000123e-999999999999999999"}) {
        const DecimalNumber huge = DecimalNumber::fromString(text);
        EXPECT_EQ(DecimalNumber::fromString(huge.toJSON()), huge) << huge.toJSON().constData();
    }
    const QByteArray text = json("1.0e999999999999999999999999999");
    EXPECT_LT(text.size(), 40);
    EXPECT_TRUE(text.startsWith("1.0e+"));
    EXPECT_EQ(DecimalNumber::fromString(text), DecimalNumber::fromString("1.0e999999999999999999999999999"));
}

TEST(DecimalNumberTest, equalValuesCompareEqualInsideVariants)
{
    EXPECT_EQ(DecimalNumber::fromString("1.50"), DecimalNumber::fromString("15e-1"));
    EXPECT_NE(DecimalNumber::fromString("1.5"), DecimalNumber::fromString("-1.5"));
    EXPECT_EQ(QVariant::fromValue(DecimalNumber::fromString("2.0")),
              QVariant::fromValue(DecimalNumber::fromString("2.00")));
}

} // namespace
