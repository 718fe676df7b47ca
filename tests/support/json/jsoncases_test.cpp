// Runs every document in cases/ through the reader and compares with the .expected file beside it.
// An .expected file holds "key: value" lines:
//   options: any of strict, no-null, dictionary, array, latin1 (default: none; deserialize)
//   value: the dump of the value read (see jsondump.h)
// or, for a failure:
//   error: <domain> <code>
//   message, line, character, location, snippet (the snippet dumped as a string)
#include "jsondump.h"
#include "support/json/cjsondeserializer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The list of cases is made when the tests are listed, which CTest does without its environment:
// then the folder is found next to this file.
QString casesFolder()
{
    const QString sourceDir = qEnvironmentVariable("VANTREL_SOURCE_DIR");
    if (!sourceDir.isEmpty())
        return sourceDir + u"/tests/support/json/cases"_s;
    return QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + u"/cases"_s;
}

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    const QStringList files = QDir(casesFolder()).entryList({u"*.json"_s}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        names.push_back(file.chopped(5).toStdString());
    return names;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMap<QString, QString> readExpectations(const QString &path)
{
    QMap<QString, QString> expected;
    const QList<QByteArray> lines = readFile(path).split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(": ");
        if (colon > 0)
            expected.insert(QString::fromUtf8(line.left(colon)), QString::fromUtf8(line.mid(colon + 2)));
    }
    return expected;
}

struct Outcome {
    QVariant value;
    bool ok = false;
};

Outcome read(const QByteArray &document, const QStringList &options, JSONError *error)
{
    CJSONDeserializer reader;
    reader.scanner().setStrictEscapeCodes(options.contains(u"strict"_s));
    if (options.contains(u"no-null"_s))
        reader.setNullObject(QVariant());
    if (options.contains(u"latin1"_s))
        reader.setAllowedEncoding(QStringConverter::Latin1);
    if (options.contains(u"dictionary"_s)) {
        const auto value = reader.deserializeAsDictionary(document, error);
        return {value ? QVariant(*value) : QVariant(), value.has_value()};
    }
    if (options.contains(u"array"_s)) {
        const auto value = reader.deserializeAsArray(document, error);
        return {value ? QVariant(*value) : QVariant(), value.has_value()};
    }
    *error = {};
    const QVariant value = reader.deserialize(document, error);
    return {value, error->domain.isEmpty()};
}

class JSONCaseTest : public ::testing::TestWithParam<std::string> {};

TEST_P(JSONCaseTest, readsAsExpected)
{
    const QString base = casesFolder() + u'/' + QString::fromStdString(GetParam());
    const QByteArray document = readFile(base + u".json"_s);
    const QMap<QString, QString> expected = readExpectations(base + u".expected"_s);
    ASSERT_FALSE(expected.isEmpty()) << "no expectations for " << GetParam();

    JSONError error;
    const Outcome outcome =
        read(document, expected.value(u"options"_s).split(u' ', Qt::SkipEmptyParts), &error);

    if (expected.contains(u"value"_s)) {
        EXPECT_TRUE(outcome.ok) << error.message.toStdString();
        EXPECT_EQ(dumpJSONValue(outcome.value).toStdString(), expected.value(u"value"_s).toStdString());
        return;
    }
    ASSERT_FALSE(outcome.ok) << "read " << dumpJSONValue(outcome.value).toStdString();
    EXPECT_FALSE(outcome.value.isValid());
    EXPECT_EQ(QString(error.domain + u' ' + QString::number(error.code)).toStdString(),
              expected.value(u"error"_s).toStdString());
    EXPECT_EQ(error.message.toStdString(), expected.value(u"message"_s).toStdString());
    const QStringList locationKeys{u"line"_s, u"character"_s, u"location"_s};
    for (const QString &key : locationKeys) {
        if (expected.contains(key)) {
            EXPECT_EQ(error.userInfo.value(key).toString().toStdString(), expected.value(key).toStdString())
                << key.toStdString();
        }
    }
    if (expected.contains(u"snippet"_s)) {
        EXPECT_EQ(dumpJSONString(error.snippet()).toStdString(), expected.value(u"snippet"_s).toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, JSONCaseTest, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string> &param) { return param.param; });

} // namespace
