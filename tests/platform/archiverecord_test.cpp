#include "platform/archivereader.h"
#include "platform/archivewriter.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QVariantMap everyValueType()
{
    return {
        {u"string"_s, u"Grüße, \u2603"_s},
        {u"empty"_s, QString()},
        {u"integer"_s, qint64(-9007199254740993)},
        {u"real"_s, 0.1},
        {u"yes"_s, true},
        {u"no"_s, false},
        {u"date"_s, QDateTime::fromMSecsSinceEpoch(1700000000123, Qt::UTC)},
        {u"blob"_s, QByteArray("\0\1\2\xff", 4)},
        {u"list"_s, QVariantList{1, u"two"_s, QVariantList{3.5}}},
        {u"map"_s, QVariantMap{{u"nested"_s, QVariantMap{{u"deep"_s, u"value"_s}}}}},
    };
}

QByteArray recordOf(const QVariant &object)
{
    ArchiveWriter writer;
    writer.encodeObject(object);
    writer.encodeBool(true);
    writer.encodeInt32(-7);
    return writer.data();
}

} // namespace

TEST(ArchiveRecordTest, everyValueTypeReadsBackInOrder)
{
    ArchiveReader reader(recordOf(everyValueType()));
    const auto object = reader.decodeObject();
    ASSERT_TRUE(object.has_value()) << reader.errorString().toStdString();
    EXPECT_EQ(object->toMap(), everyValueType());
    EXPECT_EQ(reader.decodeBool(), true);
    EXPECT_EQ(reader.decodeInt32(), -7);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.hasError());
}

TEST(ArchiveRecordTest, readingTheWrongTypeIsAnError)
{
    ArchiveWriter writer;
    writer.encodeInt32(1);
    ArchiveReader reader(writer.data());
    EXPECT_FALSE(reader.decodeBool().has_value());
    EXPECT_TRUE(reader.hasError());
}

TEST(ArchiveRecordTest, everyTruncationFailsCleanly)
{
    const QByteArray whole = recordOf(everyValueType());
    for (qsizetype length = 0; length < whole.size(); ++length) {
        ArchiveReader reader(whole.left(length));
        const bool complete = reader.decodeObject() && reader.decodeBool() && reader.decodeInt32();
        EXPECT_FALSE(complete) << "length " << length;
        EXPECT_TRUE(reader.hasError()) << "length " << length;
    }
}

TEST(ArchiveRecordTest, hugeCountsAndDeepNestingAreDamageNotAllocations)
{
    ArchiveReader hugeList(QByteArray("a\xff\xff\xff\xff", 5));
    EXPECT_FALSE(hugeList.decodeObject().has_value());
    EXPECT_TRUE(hugeList.errorString().contains(u"count"_s));

    QByteArray nested;
    for (int i = 0; i < 1000; ++i)
        nested.append(QByteArray("a\1\0\0\0", 5));
    ArchiveReader deepReader(nested);
    EXPECT_FALSE(deepReader.decodeObject().has_value());
    EXPECT_TRUE(deepReader.errorString().contains(u"deeply"_s));
}
