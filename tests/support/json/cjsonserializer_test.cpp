#include "support/json/cfilteringjsonserializer.h"
#include "support/json/cjsondeserializer.h"
#include "support/json/cjsonserializeddata.h"
#include "support/json/cjsonserializer.h"
#include "support/json/decimalnumber.h"

#include <QDateTime>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray write(const QVariant &value, JSONError *error = nullptr)
{
    return CJSONSerializer::serializer().serializeObject(value, error).value_or("<failed>");
}

TEST(JSONWriterStringsTest, escapeQuotesBackslashesSlashesAndControlCharacters)
{
    EXPECT_EQ(write(u"a/b\nc"_s), R"("a\/b\nc")");
    EXPECT_EQ(write(u"\"\\\b\t\n\f\r"_s), R"("\"\\\b\t\n\f\r")");
    EXPECT_EQ(write(QString(QString(QChar(1)) + QChar(0x1f) + QChar(0) + QChar(0x7f))),
              "\"\\u0001\\u001f\\u0000\x7f\"");
}

TEST(JSONWriterStringsTest, copyNonAsciiTextAsUtf8)
{
    EXPECT_EQ(write(u"Zoë € 😀"_s), u"\"Zoë € 😀\""_s.toUtf8());
    EXPECT_EQ(write(QString(QString(QChar(0xD800)) + u'x')), "\"\\ud800x\"");
    EXPECT_EQ(write(QByteArrayLiteral("bytes \xc3\xa9")), "\"bytes \xc3\xa9\"");
    const QString longText(100000, QChar(0x20AC));
    EXPECT_EQ(write(longText).size(), 300002);
}

TEST(JSONWriterValuesTest, writeEachKindCompactly)
{
    const QVariantMap dictionary{
        {u"b"_s, QVariantList{true, false, QVariant::fromValue(nullptr), u"x"_s}},
        {u"a"_s, QVariantMap{}},
        {u"c"_s, QVariantList{}},
    };
    EXPECT_EQ(write(dictionary), R"({"a":{},"b":[true,false,null,"x"],"c":[]})");
    EXPECT_EQ(write(QVariant::fromValue(qint64(-3))), "-3");
    EXPECT_EQ(write(QVariant::fromValue(std::numeric_limits<quint64>::max())), "18446744073709551615");
    EXPECT_EQ(write(42), "42");
    EXPECT_EQ(write(0.1), "0.1");
    EXPECT_EQ(write(QVariant::fromValue(DecimalNumber::fromString("1.5e3"))), "1500.0");
    EXPECT_EQ(write(QStringList{u"a"_s, u"b"_s}), R"(["a","b"])");
    EXPECT_EQ(write(QVariantHash{{u"k"_s, 1}}), R"({"k":1})");
    EXPECT_EQ(write(QVariant::fromValue(CJSONSerializedData(QByteArrayLiteral("[ 1, 2 ]")))), "[ 1, 2 ]");
    CJSONSerializer writer;
    EXPECT_EQ(writer.serializeNull(), "null");
    EXPECT_EQ(writer.serializeNumber(true), "true");
    EXPECT_EQ(writer.serializeString(u"/"_s), R"("\/")");
    EXPECT_EQ(writer.serializeArray({1, u"a"_s}), R"([1,"a"])");
    EXPECT_EQ(writer.serializeDictionary({{u"k"_s, 2.5}}), R"({"k":2.5})");
}

TEST(JSONWriterValuesTest, unknownKindsFailAndTakeTheirContainerWithThem)
{
    JSONError error;
    EXPECT_FALSE(CJSONSerializer().serializeObject(QVariantList{1, QDateTime::currentDateTimeUtc()}, &error));
    EXPECT_EQ(error, (JSONError{u"TODO_DOMAIN"_s, -1, u"Cannot serialize data of type 'QDateTime'"_s, {}}));
    EXPECT_FALSE(CJSONSerializer().serializeObject(QVariant(), &error));
    EXPECT_EQ(error.message, u"Cannot serialize data of type 'invalid'"_s);
    EXPECT_FALSE(CJSONSerializer().serializeNumber(u"1"_s, &error));
    EXPECT_EQ(error.message, u"Cannot serialize data of type 'QString'"_s);
}

TEST(JSONWriterValuesTest, valuesWithoutAJSONFormFailInsteadOfWritingBadJSON)
{
    JSONError error;
    EXPECT_FALSE(CJSONSerializer().serializeObject(std::numeric_limits<double>::quiet_NaN(), &error));
    EXPECT_EQ(error.message, u"Could not serialize object 'nan'"_s);
    EXPECT_FALSE(CJSONSerializer().serializeObject(QVariantMap{{u"k"_s, QByteArrayLiteral("\xff")}}, &error));
    EXPECT_EQ(error.message, u"Could not serialize object '<ff>'"_s);
    EXPECT_FALSE(CJSONSerializer().serializeObject(QVariant::fromValue(CJSONSerializedData()), &error));
    EXPECT_EQ(error.domain, CJSONSerializerErrorDomain);
}

// Reading what was written gives the value back, for every kind the reader produces.
TEST(JSONWriterRoundTripTest, everyValueKindSurvives)
{
    const QVariantMap original{
        {u"object"_s, QVariantMap{{u"nested"_s, QVariantMap{{u"deeper"_s, QVariantList{}}}}}},
        {u"array"_s, QVariantList{1, u"two"_s, QVariantList{3}}},
        {u"string"_s,
         QString(u"quote \" slash / back \\ tab \t nul "_s + QChar(0) + u" é 😀 "_s + QChar(0xDC00))},
        {u"unsigned"_s, QVariant::fromValue(std::numeric_limits<quint64>::max())},
        {u"signed"_s, QVariant::fromValue(std::numeric_limits<qint64>::min())},
        {u"decimal"_s, QVariant::fromValue(DecimalNumber::fromString("-1234567890.0987654321e-40"))},
        {u"integral decimal"_s, QVariant::fromValue(DecimalNumber::fromString("1.5e3"))},
        {u"true"_s, true},
        {u"false"_s, false},
        {u"null"_s, QVariant::fromValue(nullptr)},
        {u""_s, u""_s},
    };
    JSONError error;
    const std::optional<QByteArray> written = CJSONSerializer().serializeObject(original, &error);
    ASSERT_TRUE(written) << error.message.toStdString();
    const auto reread = CJSONDeserializer().deserializeAsDictionary(*written, &error);
    ASSERT_TRUE(reread) << error.message.toStdString();
    EXPECT_EQ(*reread, original);
    for (auto it = original.cbegin(); it != original.cend(); ++it)
        EXPECT_EQ(reread->value(it.key()).metaType(), it.value().metaType()) << it.key().toStdString();
}

TEST(JSONFilteringWriterTest, convertsTheValuesItsTestsName)
{
    CFilteringJSONSerializer writer;
    writer.setTests({
        [](const QVariant &value) {
            return value.metaType().id() == QMetaType::QDateTime ? u"date"_s : QString();
        },
        [](const QVariant &value) { return value.metaType().id() == QMetaType::QUrl ? u"url"_s : QString(); },
        [](const QVariant &value) { return value.metaType().id() == QMetaType::QUrl ? u"raw"_s : QString(); },
        [](const QVariant &value) { return value.metaType().id() == QMetaType::Int ? u"none"_s : QString(); },
    });
    writer.setConvertersByName({
        {u"date"_s, [](const QVariant &value) { return QVariant(value.toDateTime().toString(Qt::ISODate)); }},
        // A replacement the plain rules cannot write passes the decision on.
        {u"url"_s, [](const QVariant &value) { return QVariant(value.toUrl().host().size() + 0.5); }},
        {u"raw"_s, [](const QVariant &) { return QVariant(QByteArrayLiteral("{\"url\":true}")); }},
        {u"none"_s, [](const QVariant &) { return QVariant(); }},
    });
    const QVariantList values{QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC), QUrl(u"http://h/"_s), 7};
    EXPECT_EQ(writer.serializeObject(QVariantMap{{u"v"_s, values}}),
              R"({"v":["2024-05-06T07:08:09Z",1.5,7]})");

    writer.setConvertersByName({{u"url"_s, [](const QVariant &) { return QVariant(QDateTime()); }}});
    JSONError error;
    EXPECT_FALSE(writer.serializeObject(QVariantList{QUrl(u"http://h/"_s)}, &error));
    EXPECT_EQ(error.message, u"Cannot serialize data of type 'QUrl'"_s);
}

} // namespace
