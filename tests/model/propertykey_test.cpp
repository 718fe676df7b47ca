#include "model/entry/propertykey.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PropertyKeyTest, sameNameSameKeyWhicheverWayItIsSpelled)
{
    const PropertyKey fromText(u"dc:creator"_s);
    const PropertyKey fromLatin1(QLatin1StringView("dc:creator"));
    EXPECT_TRUE(fromText.isInterned());
    EXPECT_EQ(fromText, fromLatin1);
    EXPECT_FALSE(fromText == PropertyKey(u"dc:Creator"_s));
    EXPECT_EQ(fromLatin1.name(), u"dc:creator"_s);

    PropertyKey source(u"title"_s);
    const PropertyKey moved(std::move(source));
    EXPECT_EQ(moved.name(), u"title"_s);
    EXPECT_TRUE(PropertyKey().name().isEmpty());
}

// A feed may invent element names without end: the table stops growing and keys hold the names.
TEST(PropertyKeyTest, namesBeyondTheTableAreHeldByTheirKeys)
{
    for (int i = 0; i <= PropertyKey::tableCapacity; ++i)
        PropertyKey(u"invented%1"_s.arg(i));
    const QString name = u"invented%1"_s.arg(PropertyKey::tableCapacity + 1);
    const PropertyKey held(name);
    EXPECT_FALSE(held.isInterned());
    EXPECT_EQ(held.name(), name);

    PropertyKey copy = held;
    EXPECT_EQ(copy, held);
    EXPECT_EQ(copy, PropertyKey(name));
    copy = PropertyKey(u"invented0"_s);
    EXPECT_TRUE(copy.isInterned());
    EXPECT_FALSE(copy == held);
    EXPECT_TRUE(PropertyKey(u"title"_s).isInterned()); // the program's own keys are interned first
}

TEST(PropertyKeyTest, longNamesAreHeldByTheirKeys)
{
    const QString name(PropertyKey::longestInternedName + 1, u'n');
    EXPECT_FALSE(PropertyKey(name).isInterned());
    EXPECT_EQ(PropertyKey(name), PropertyKey(name));
    EXPECT_EQ(PropertyKey(name).name(), name);
}
