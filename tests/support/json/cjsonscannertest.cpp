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

TEST(JSONEncodings, utf16AndUtf32InBothByteOrdersReadLikeUtf8)
{
    const QString expected = readDump(kDocument.toUtf8());
    ASSERT_EQ(expected, u"{\"n\": [u:1, i:-2, d:3.5, true, null], \"name\": \"Zoë 😀\"}"_s);
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf32LE,
                                QStringConverter::Utf32BE}) {
        EXPECT_EQ(readDump(encoded(kDocument, encoding)), expected) << int(encoding);
    }
}

TEST(JSONEncodings, badTextFailsUnlessTheAllowedEncodingDecodesIt)
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

TEST(JSONEncodings, dataShorterThanFourBytesIsTakenAsItIs)
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

TEST(JSONNesting, fiveHundredTwelveLevelsRead)
{
    JSONError error;
    const QVariant value = CJSONDeserializer().deserialize(nestedArrays(CJSONScanner::kMaxNestingDepth), &error);
    EXPECT_TRUE(error.domain.isEmpty()) << error.message.toStdString();
    EXPECT_EQ(value.metaType().id(), QMetaType::QVariantList);
}

TEST(JSONNesting, deeperInputFailsWithItsOwnErrorAtTheBracket)
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

TEST(JSONScannerOperations, scanSingleConstructsAndKeepThePositionOnFailure)
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

TEST(JSONScannerOperations, aConfiguredNullObjectStandsForNull)
{
    CJSONDeserializer reader;
    EXPECT_EQ(reader.nullObject().metaType().id(), QMetaType::Nullptr);
    reader.setNullObject(u"NULL"_s);
    EXPECT_EQ(dumpJSONValue(reader.deserialize("{\"a\":null,\"b\":[null]}")), u"{\"a\": \"NULL\", \"b\": [\"NULL\"]}"_s);
}

} // namespace
