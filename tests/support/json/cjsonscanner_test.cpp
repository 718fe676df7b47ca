#include "jsondump.h"
#include "support/json/cjsondeserializer.h"
#include "support/json/cjsonscanner.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kDocument = u"{\"name\":\"Zoë 😀\",\"n\":[1,-2,3.5,true,null]}"_s;

QString readDump(const QByteArray &data, JSONError *error = nullptr)
{
    return dumpJSONValue(CJSONDeserializer().deserialize(data, error));
}

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}

TEST(JSONEncodingsTest, utf16AndUtf32InBothByteOrdersReadLikeUtf8)
{
    const QString expected = readDump(kDocument.toUtf8());
    ASSERT_EQ(expected, u"{\"n\": [u:1, i:-2, d:3.5, true, null], \"name\": \"Zoë 😀\"}"_s);
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE,
                                QStringConverter::Utf32LE, QStringConverter::Utf32BE}) {
        EXPECT_EQ(readDump(encoded(kDocument, encoding)), expected) << int(encoding);
    }
}

TEST(JSONEncodingsTest, badTextFailsUnlessTheAllowedEncodingDecodesIt)
{
    QByteArray utf16 = encoded(u"[\"ab\"]"_s, QStringConverter::Utf16LE);
    utf16.insert(4, "\x00\xD8", 2); // a lone high surrogate
    JSONError error;
    EXPECT_EQ(readDump(utf16, &error), u"none"_s);
    EXPECT_EQ(error.domain, CJSONScannerErrorDomain);
    EXPECT_EQ(error.code, -1);
    EXPECT_EQ(error.message, u"Could not scan data. Data wasn't encoded properly?"_s);

    const QByteArray latin1 = QByteArrayLiteral("{\"city\":\"K\xf6ln\"}");
    EXPECT_EQ(readDump(latin1, &error), u"none"_s);
    CJSONDeserializer reader;
    reader.setAllowedEncoding(QStringConverter::Latin1);
    EXPECT_EQ(dumpJSONValue(reader.deserialize(latin1)), u"{\"city\": \"Köln\"}"_s);
}

TEST(JSONEncodingsTest, dataShorterThanFourBytesIsTakenAsItIs)
{
    EXPECT_EQ(readDump("[1]"), u"[u:1]"_s);
    EXPECT_EQ(readDump("\"\xc3\xa9"), u"none"_s); // unterminated, but the character itself is fine
    JSONError error;
    EXPECT_EQ(readDump("\"\xc3\"", &error), u"none"_s);
    EXPECT_EQ(error.code, CJSONScanner::kInvalidUtf8Code);
    EXPECT_EQ(error.message, u"Could not scan string constant. String is not valid UTF-8."_s);
}

QByteArray nestedArrays(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

TEST(JSONNestingTest, fiveHundredTwelveLevelsRead)
{
    JSONError error;
    const QVariant value =
        CJSONDeserializer().deserialize(nestedArrays(CJSONScanner::kMaxNestingDepth), &error);
    EXPECT_TRUE(error.domain.isEmpty()) << error.message.toStdString();
    EXPECT_EQ(value.metaType().id(), QMetaType::QVariantList);
}

TEST(JSONNestingTest, deeperInputFailsWithItsOwnErrorAtTheBracket)
{
    const QByteArray prefix = QByteArrayLiteral("{\"a\": [");
    const QByteArray document = prefix + nestedArrays(100000) + QByteArrayLiteral("]}");
    JSONError error;
    CJSONDeserializer reader;
    EXPECT_FALSE(reader.deserialize(document, &error).isValid());
    EXPECT_EQ(error.domain, CJSONScannerErrorDomain);
    EXPECT_EQ(error.code, CJSONScanner::kNestingTooDeepCode);
    EXPECT_EQ(error.message, u"Could not scan object. Nesting deeper than 512 levels."_s);
    EXPECT_EQ(error.location(), prefix.size() + CJSONScanner::kMaxNestingDepth - 2);
    EXPECT_FALSE(reader.deserializeAsArray(nestedArrays(513), &error));
    EXPECT_EQ(error.code, CJSONScanner::kNestingTooDeepCode);
    // The depth count starts afresh for the next document.
    EXPECT_TRUE(reader.deserializeAsArray(nestedArrays(512), &error));
}

TEST(JSONScannerOperationsTest, scanSingleConstructsAndKeepThePositionOnFailure)
{
    CJSONScanner scanner;
    ASSERT_TRUE(scanner.setData(QByteArrayLiteral("  \"ab\\ncd\" 12 x"), nullptr));
    QString text;
    ASSERT_TRUE(scanner.scanJSONStringConstant(&text));
    EXPECT_EQ(text, u"ab\ncd"_s);
    QVariant number;
    ASSERT_TRUE(scanner.scanJSONNumberConstant(&number));
    EXPECT_EQ(number.toULongLong(), 12u);
    const qsizetype before = scanner.scanLocation();
    JSONError error;
    EXPECT_FALSE(scanner.scanJSONNumberConstant(&number, &error));
    EXPECT_EQ(error.code, -14);
    EXPECT_EQ(error.message, u"Could not scan number constant."_s);
    EXPECT_FALSE(scanner.scanJSONDictionary(nullptr, &error));
    EXPECT_EQ(scanner.scanLocation(), before + 1); // past the white space only
    EXPECT_FALSE(scanner.scanJSONStringConstant(&text, &error));
    EXPECT_EQ(scanner.scanLocation(), before + 1);

    ASSERT_TRUE(scanner.setData(QByteArrayLiteral("plain text\"rest"), nullptr));
    ASSERT_TRUE(scanner.scanNotQuoteCharactersIntoString(&text));
    EXPECT_EQ(text, u"plain text"_s);
    EXPECT_FALSE(scanner.scanNotQuoteCharactersIntoString(&text));
}

TEST(JSONScannerOperationsTest, aConfiguredNullObjectStandsForNull)
{
    CJSONDeserializer reader;
    EXPECT_EQ(reader.nullObject().metaType().id(), QMetaType::Nullptr);
    reader.setNullObject(u"NULL"_s);
    EXPECT_EQ(dumpJSONValue(reader.deserialize("{\"a\":null,\"b\":[null]}")),
              u"{\"a\": \"NULL\", \"b\": [\"NULL\"]}"_s);
}

TEST(JSONObjectsTest, membersInAnyOrderKeepTheLastValueOfARepeatedKey)
{
    // A few members, and more than a small object has.
    for (const int count : {4, 40}) {
        QByteArray text = "{";
        for (int i = count; i > 0; --i)
            text += "\"k" + QByteArray::number(i) + "\":" + QByteArray::number(i) + ",";
        text += "\"k2\":\"again\",\"\xf0\x9f\x98\x80\":\"emoji\",\"\xef\xbf\xbd\":\"replacement\",\"\":0,"
                "\"k2\":\"last\"}";
        JSONError error;
        const auto map = CJSONDeserializer().deserializeAsDictionary(text, &error);
        ASSERT_TRUE(map) << error.message.toStdString();
        EXPECT_EQ(map->size(), count + 3);
        EXPECT_EQ(map->value(u"k2"_s), u"last"_s);
        EXPECT_EQ(map->value(u"k1"_s).toULongLong(), 1u);
        EXPECT_EQ(map->value(u"k%1"_s.arg(count)).toULongLong(), quint64(count));
        EXPECT_EQ(map->value(u"😀"_s), u"emoji"_s);
        EXPECT_EQ(map->value(u"\uFFFD"_s), u"replacement"_s);
        EXPECT_TRUE(map->contains(QString()));
    }
}

TEST(JSONRepeatedContainersTest, readAsEqualValuesThatChangeIndependently)
{
    const QByteArray item = "{\"id\":\"a\",\"tags\":[1,2]}";
    QVariantList list =
        CJSONDeserializer().deserializeAsArray("[" + item + "," + item + "," + item + "]").value();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0], list[1]);
    EXPECT_EQ(list[1], list[2]);
    QVariantMap first = list[0].toMap();
    first.insert(u"id"_s, u"b"_s);
    list[0] = first;
    QVariantMap last = list[2].toMap();
    QVariantList tags = last.value(u"tags"_s).toList();
    tags.append(u"new"_s);
    last.insert(u"tags"_s, tags);
    list[2] = last;
    EXPECT_EQ(dumpJSONValue(list),
              u"[{\"id\": \"b\", \"tags\": [u:1, u:2]}, {\"id\": \"a\", \"tags\": [u:1, u:2]}, "
              "{\"id\": \"a\", \"tags\": [u:1, u:2, \"new\"]}]"_s);
}

TEST(JSONRepeatedContainersTest, followTheNullObjectInForceWhenRead)
{
    CJSONDeserializer reader;
    const QByteArray text = "[{\"a\":null},[null]]";
    EXPECT_EQ(dumpJSONValue(reader.deserialize(text)), u"[{\"a\": null}, [null]]"_s);
    // Read twice, so that its containers are remembered, then once more with another null.
    CJSONScanner &scanner = reader.scanner();
    ASSERT_TRUE(scanner.setData(text + text + text, nullptr));
    QVariant value;
    ASSERT_TRUE(scanner.scanJSONObject(&value));
    ASSERT_TRUE(scanner.scanJSONObject(&value));
    scanner.setNullObject(u"NULL"_s);
    ASSERT_TRUE(scanner.scanJSONObject(&value));
    EXPECT_EQ(dumpJSONValue(value), u"[{\"a\": \"NULL\"}, [\"NULL\"]]"_s);
    reader.setNullObject(QVariant());
    EXPECT_EQ(dumpJSONValue(reader.deserialize("{\"a\":null,\"b\":{\"a\":null}}")), u"{\"b\": {}}"_s);
}

} // namespace
