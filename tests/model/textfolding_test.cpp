#include "common/qtprinters.h"
#include "model/textfolding.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TextFolding, ignoresCaseAndDiacritics)
{
    EXPECT_EQ(TextFolding::fold(u"Café Crème"_s), u"cafe creme"_s);
    EXPECT_EQ(TextFolding::fold(u"CAFE\u0301"_s), u"cafe"_s); // combining accent
    EXPECT_EQ(TextFolding::fold(u"Ærø ÅNGSTRÖM"_s), u"ærø angstrom"_s);
    EXPECT_EQ(TextFolding::fold(u"STRASSE"_s), TextFolding::fold(u"Straße"_s));
    EXPECT_EQ(TextFolding::fold(u"ΣΟΦΊΑ"_s), TextFolding::fold(u"σοφια"_s));
    EXPECT_EQ(TextFolding::fold(u"emoji \U0001F600 stays"_s), u"emoji \U0001F600 stays"_s);
}

TEST(TextFolding, anEmptyNeedleNeverMatches)
{
    EXPECT_TRUE(TextFolding::containsFolded(TextFolding::fold(u"Breaking News today"_s), TextFolding::fold(u"NEWS"_s)));
    EXPECT_FALSE(TextFolding::containsFolded(u"anything"_s, QString()));
}
