// Generated documents, valid and broken: the reader fails them cleanly or reads them back whole,
// and never reads outside its buffer (the strict build runs this under AddressSanitizer).
#include "support/json/cjsondeserializer.h"
#include "support/json/cjsonserializer.h"
#include "support/json/decimalnumber.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A document with every construct the reader knows, in the reader's most lenient spelling.
const QByteArray kEveryConstruct = QByteArrayLiteral(
    "\t{ \"object\" : { \"empty\": {}, \"trailing\": [1,2,], },\r\n"
    "  \"escapes\": \"\\\" \\\\ \\/ \\b \\f \\n \\r \\t \\u00e9 \\uD83D\\uDE00 \\q\",\n"
    "  \"text\": \"Zo\xc3\xab \xe2\x82\xac \xf0\x9f\x98\x80 raw\ttab\",\n"
    "  \"numbers\": [0, -0, 010, 09, 1e5, -12, 1.5, -2.5e-3, 18446744073709551616, 1.0e999999],\n"
    "  \"literals\": [true, false, null], \"repeat\": 1, \"repeat\": 2 } trailing bytes");

// Reads the bytes as a dictionary from a buffer of exactly their size, so that any read past the
// end is caught.
std::optional<QVariantMap> readExactly(const QByteArray &bytes, qsizetype size, JSONError *error)
{
    auto buffer = std::make_unique<char[]>(size_t(std::max<qsizetype>(size, 1)));
    std::copy(bytes.constData(), bytes.constData() + size, buffer.get());
    return CJSONDeserializer().deserializeAsDictionary(QByteArray::fromRawData(buffer.get(), size), error);
}

TEST(JSONRobustnessTest, everyTruncationFailsWithAnErrorUntilTheDocumentIsWhole)
{
    JSONError error;
    const std::optional<QVariantMap> whole =
        CJSONDeserializer().deserializeAsDictionary(kEveryConstruct, &error);
    ASSERT_TRUE(whole) << error.message.toStdString();
    QStringEncoder toUtf16(QStringConverter::Utf16LE);
    const QByteArray utf16 = toUtf16.encode(QString::fromUtf8(kEveryConstruct));
    for (const QByteArray &document : {kEveryConstruct, utf16}) {
        const qsizetype end = document == utf16 ? utf16.lastIndexOf(QByteArray("}\0", 2)) + 2
                                                : kEveryConstruct.lastIndexOf('}') + 1;
        for (qsizetype length = 0; length <= document.size(); ++length) {
            error = {};
            const std::optional<QVariantMap> read = readExactly(document, length, &error);
            if (length < end) {
                EXPECT_FALSE(read) << "length " << length;
                EXPECT_FALSE(error.domain.isEmpty()) << "length " << length;
            } else {
                EXPECT_EQ(read, whole) << "length " << length;
            }
        }
    }
}

TEST(JSONRobustnessTest, deepNestingFailsCleanly)
{
    const int depth = 200000;
    const QList<QByteArray> openers{"[", "{\"k\":", "[{\"k\":", " [ "};
    for (const QByteArray &opener : openers) {
        const QByteArray document = opener.repeated(depth);
        JSONError error;
        EXPECT_FALSE(CJSONDeserializer().deserialize(document, &error).isValid());
        EXPECT_EQ(error.code, CJSONScanner::kNestingTooDeepCode) << opener.constData();
    }
}

TEST(JSONRobustnessTest, aFailureDeepInALongDocumentIsReportedOnceAtTheOutermostContainer)
{
    const QByteArray document = "[" + QByteArray("1,").repeated(1 << 20) + QByteArray(500, '[') + "@";
    JSONError error;
    EXPECT_FALSE(CJSONDeserializer().deserialize(document, &error).isValid());
    EXPECT_EQ(error.code, -8);
    EXPECT_EQ(error.location(), 0);
}

TEST(JSONRobustnessTest, hugeNumbersAndStringsAreRead)
{
    const QByteArray digits(200000, '7');
    JSONError error;
    const auto array = CJSONDeserializer().deserializeAsArray(
        "[" + digits + ", -" + digits + ", 0." + digits + ", 1.0e" + digits + ", \"" + digits + "\"]",
        &error);
    ASSERT_TRUE(array) << error.message.toStdString();
    EXPECT_EQ(array->at(0).toULongLong(), std::numeric_limits<quint64>::max());
    EXPECT_EQ(array->at(1).toLongLong(), std::numeric_limits<qint64>::min());
    EXPECT_EQ(array->at(2).value<DecimalNumber>().digits(), digits);
    EXPECT_EQ(array->at(4).toString().size(), digits.size());
    const std::optional<QByteArray> written = CJSONSerializer().serializeArray(*array, &error);
    ASSERT_TRUE(written);
    EXPECT_EQ(CJSONDeserializer().deserializeAsArray(*written, &error), array);
}

// Random values written and read back come out equal, whatever their shape.
QVariant randomValue(QRandomGenerator &random, int depth)
{
    const int kind = random.bounded(depth > 4 ? 6 : 8);
    switch (kind) {
    case 0: {
        QString text;
        for (int i = random.bounded(12); i > 0; --i)
            text += QChar(char16_t(random.bounded(4) == 0 ? random.bounded(0x10000) : random.bounded(0x80)));
        return text;
    }
    case 1:
        return QVariant::fromValue(random.generate64());
    case 2:
        return QVariant::fromValue(-qint64(random.generate64() >> 1) - 1);
    case 3:
        return QVariant::fromValue(DecimalNumber::fromString(QByteArray(
            QByteArray::number(random.bounded(100000)) + "." + QByteArray::number(random.bounded(1000)) +
            "e" + QByteArray::number(random.bounded(-80, 80)))));
    case 4:
        return random.bounded(2) == 0;
    case 5:
        return QVariant::fromValue(nullptr);
    case 6: {
        QVariantList list;
        for (int i = random.bounded(6); i > 0; --i)
            list.append(randomValue(random, depth + 1));
        return list;
    }
    default: {
        QVariantMap map;
        for (int i = random.bounded(6); i > 0; --i)
            map.insert(randomValue(random, 5).toString(), randomValue(random, depth + 1));
        return map;
    }
    }
}

TEST(JSONRobustnessTest, randomValuesSurviveAWriteAndARead)
{
    QRandomGenerator random(77);
    for (int round = 0; round < 500; ++round) {
        const QVariant value = randomValue(random, 0);
        JSONError error;
        const std::optional<QByteArray> written = CJSONSerializer().serializeObject(value, &error);
        ASSERT_TRUE(written) << error.message.toStdString();
        const QVariant reread = CJSONDeserializer().deserialize(*written, &error);
        ASSERT_EQ(reread, value) << written->constData();
    }
}

} // namespace
