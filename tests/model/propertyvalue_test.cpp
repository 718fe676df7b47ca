#include "common/qtprinters.h"
#include "model/entry/dataitem.h"
#include "model/entry/propertyvalue.h"
#include "model/entry/sharedtextblock.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// What reading back must keep: the type, the value and, for dates, how the date is kept.
void expectSame(const QVariant &read, const QVariant &stored)
{
    ASSERT_EQ(read.metaType(), stored.metaType()) << stored.typeName();
    EXPECT_EQ(read, stored);
    if (stored.typeId() == QMetaType::QDateTime) {
        EXPECT_EQ(read.toDateTime().timeSpec(), stored.toDateTime().timeSpec());
        EXPECT_EQ(read.toDateTime().offsetFromUtc(), stored.toDateTime().offsetFromUtc());
    }
}

} // namespace

TEST(PropertyValueTest, everyKindOfValueReadsBackAsStored)
{
    const qint64 beyondAWord = qint64(1) << 61;
    const QList<QVariant> values{
        true,
        false,
        0,
        -1,
        std::numeric_limits<int>::min(),
        std::numeric_limits<int>::max(),
        QDateTime::fromMSecsSinceEpoch(1'765'000'000'123, Qt::UTC),
        QDateTime::fromMSecsSinceEpoch(-62'135'596'800'000, Qt::UTC), // year 1
        QDateTime::fromMSecsSinceEpoch(beyondAWord, Qt::UTC),
        QDateTime::fromMSecsSinceEpoch(1'765'000'000'000, Qt::LocalTime),
        QDateTime::fromMSecsSinceEpoch(1'765'000'000'000, Qt::OffsetFromUTC, 3600),
        QDateTime(),
        u"Headline"_s,
        QString(),
        QStringList{u"a"_s, u"b"_s},
        qint64(1) << 40,
        2.5,
        QByteArray("bytes"),
        QVariantMap{{u"url"_s, u"http://example.org/a.mp3"_s}},
    };
    for (const QVariant &value : values) {
        SCOPED_TRACE(value.toString().toStdString());
        const PropertyValue stored(value);
        EXPECT_TRUE(stored.isValid());
        expectSame(stored.toVariant(QString()), value);
    }
    EXPECT_FALSE(PropertyValue(QVariant()).isValid());
    EXPECT_FALSE(PropertyValue().toVariant(QString()).isValid());
}

TEST(PropertyValueTest, aTextIsReadFromTheBlockAndAPlaceTooFarOutIsKeptAsACopy)
{
    SharedTextBlock builder(8, 2);
    const TextSlice first = builder.add(u"abc");
    const TextSlice second = builder.add(u"");
    const QString block = std::move(builder).take();
    const QString firstText = PropertyValue::text(first, u"abc").toVariant(block).toString();
    EXPECT_EQ(firstText, u"abc"_s);
    EXPECT_EQ(firstText.utf16()[3], u'\0');
    const QString empty = PropertyValue::text(second, u"").toVariant(block).toString();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());

    const PropertyValue farOut = PropertyValue::text({qsizetype(1) << 33, 3}, u"xyz");
    EXPECT_EQ(farOut.toVariant(QString()).toString(), u"xyz"_s);
}

TEST(PropertyValueTest, replacingAValueOfOneKindWithAnotherKeepsOnlyTheNewOne)
{
    DataItem item;
    const QList<QVariant> values{u"text"_s, 3,   QDateTime::fromMSecsSinceEpoch(5, Qt::UTC),
                                 true,      2.5, u"again"_s};
    for (const QVariant &value : values) {
        item.setObject(value, u"key"_s);
        expectSame(item.valueForKey(u"key"_s), value);
    }
    EXPECT_EQ(item.dictionary().size(), 1);
}
