#include "prefs/integertext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(IntegerTextTest, TakesTheNumberTheLeadingDigitsForm)
{
    EXPECT_EQ(IntegerText::value(u"12a"_s), 12);
    EXPECT_EQ(IntegerText::value(u"  -7 days"_s), -7);
    EXPECT_EQ(IntegerText::value(u"abc"_s), 0);
    EXPECT_EQ(IntegerText::value(QString()), 0);
    EXPECT_EQ(IntegerText::value(u"99999999999999"_s), 2147483647);
}
