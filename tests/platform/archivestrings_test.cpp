#include "platform/archivereader.h"
#include "platform/archivewriter.h"
#include "support/stringadditions.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

namespace {

std::string hexOf(QByteArrayView bytes)
{
    return bytes.toByteArray().toHex(' ').toStdString();
}

// The archive's strings decode as QString::fromUtf8 always decoded them, damaged bytes included.
void expectDecodesLikeQt(QByteArrayView bytes)
{
    const QString expected = QString::fromUtf8(bytes);
    const QString decoded = StringAdditions::fromUtf8(bytes);
    EXPECT_EQ(decoded, expected) << hexOf(bytes);
    EXPECT_EQ(decoded.isNull(), expected.isNull()) << hexOf(bytes);
}

QByteArray stringRecord(QByteArrayView utf8)
{
    QByteArray record(1, 's');
    char length[4];
    qToLittleEndian(quint32(utf8.size()), length);
    record.append(length, 4);
    record.append(utf8);
    return record;
}

} // namespace

TEST(ArchiveStringsTest, wellFormedTextDecodesLikeQt)
{
    const QStringList texts{
        u"plain ASCII long enough to take several eight-byte chunks"_s,
        u"Grüße aus Zürich, café résumé"_s,
        u"\u65e5\u672c\u8a9e\u306e\u898b\u51fa\u3057"_s,
        u"emoji \U0001F600 and \U0010FFFF at the top, U+FFFE \uFFFE and U+FDD0 \uFDD0"_s,
        u"\uFEFFa byte order mark in front"_s,
        u"\uFEFF\uFEFFtwo of them"_s,
        u"in the middle \uFEFF stays"_s,
        QString(QChar(0)) + u"nul inside"_s,
    };
    for (const QString &text : texts)
        for (qsizetype cut = 0; cut <= 9; ++cut)
            expectDecodesLikeQt(text.mid(cut).toUtf8());
    expectDecodesLikeQt(QByteArrayView());
    expectDecodesLikeQt(QByteArrayView("", 0));
    expectDecodesLikeQt(QByteArrayView("\xEF\xBB\xBF"));
}

// Every lead byte followed by continuation candidates at the edges of the valid ranges, behind
// ASCII runs of every length up to a chunk and a half, whole and cut short.
TEST(ArchiveStringsTest, malformedSequencesBecomeWhatQtMakesOfThem)
{
    const unsigned char followers[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                       0xA0, 0xBF, 0xC0, 0xC2, 0xE0, 0xF4, 0xFF};
    const unsigned char laterFollowers[] = {0x41, 0x80, 0xBF, 0xC3};
    int round = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned char second : followers) {
            for (unsigned char third : laterFollowers) {
                for (unsigned char fourth : laterFollowers) {
                    const QByteArray prefix(round++ % 13, 'p');
                    const char sequence[] = {char(lead), char(second), char(third), char(fourth)};
                    for (qsizetype length = 1; length <= 4; ++length) {
                        const QByteArray bytes = prefix + QByteArray(sequence, length);
                        expectDecodesLikeQt(bytes);
                        expectDecodesLikeQt(QByteArray(bytes + "tail text"));
                    }
                }
            }
        }
    }
}

TEST(ArchiveStringsTest, randomBytesDecodeLikeQt)
{
    std::mt19937 random(20261206);
    const char *const pieces[] = {
        "a",    "word ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF",
        "\x80", "\xC3",  "\xE2\x82", "\xF0\x9F\x98", "\xED\xA0\x80",     "\xFF"};
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        const int count = int(random() % 24);
        for (int i = 0; i < count; ++i) {
            if (random() % 4 == 0)
                bytes.append(char(random()));
            else
                bytes.append(pieces[random() % std::size(pieces)]);
        }
        expectDecodesLikeQt(bytes);
    }
}

TEST(ArchiveStringsTest, storedStringsReadBackAsQtDecodesTheirBytes)
{
    ArchiveWriter writer;
    writer.encodeObject(QVariantMap{{u"Grüße"_s, u"Zürich \U0001F600"_s}, {u"plain"_s, u"text"_s}});
    ArchiveReader reader(writer.data());
    const auto map = reader.decodeObject();
    ASSERT_TRUE(map) << reader.errorString().toStdString();
    EXPECT_EQ(map->toMap(), (QVariantMap{{u"Grüße"_s, u"Zürich \U0001F600"_s}, {u"plain"_s, u"text"_s}}));

    for (const QByteArrayView damaged :
         {QByteArrayView("caf\xC3"), QByteArrayView("\xEF\xBB\xBF\xED\xA0\x80ok"),
          QByteArrayView("a\xF4\x90\x80\x80z\xC0\xAF")}) {
        ArchiveReader damagedReader(stringRecord(damaged));
        const auto value = damagedReader.decodeObject();
        ASSERT_TRUE(value) << damagedReader.errorString().toStdString();
        EXPECT_EQ(value->typeId(), QMetaType::QString);
        EXPECT_EQ(value->toString(), QString::fromUtf8(damaged)) << hexOf(damaged);
        EXPECT_TRUE(damagedReader.atEnd());
    }
}

// Keys are decoded once per reader and looked up again by their bytes, whatever the order or
// number of keys in later records.
TEST(ArchiveStringsTest, keysRepeatedAcrossRecordsReadBackInAnyMix)
{
    QList<QVariantMap> records{
        {{u"alpha"_s, 1}, {u"beta"_s, 2}, {u"gamma"_s, 3}},
        {{u"beta"_s, 4}, {u"delta"_s, 5}},
        {{u"alpha"_s, 6}, {u"gamma"_s, 7}, {u"épsilon"_s, 8}},
        {{u"gamma"_s, 9}},
    };
    QVariantMap many;
    for (int i = 0; i < 40; ++i)
        many.insert(u"key %1"_s.arg(i), i);
    records << many << many << records.first();
    ArchiveWriter writer;
    for (const QVariantMap &record : records)
        writer.encodeObject(record);
    ArchiveReader reader(writer.data());
    for (const QVariantMap &record : records) {
        QVariantMap read;
        ASSERT_TRUE(reader.decodeDictionary(
            [&read](const ArchiveReader::Key &key, QVariant &&value) { read.insert(key.name, value); },
            [&read](const ArchiveReader::Key &key, QByteArrayView utf8) {
                read.insert(key.name, StringAdditions::fromUtf8(utf8));
            }))
            << reader.errorString().toStdString();
        EXPECT_EQ(read, record);
    }
    EXPECT_TRUE(reader.atEnd());
}

// Keys learnt while reading a nested dictionary leave the outer key being read intact.
TEST(ArchiveStringsTest, outerKeysSurviveTheKeysOfNestedDictionaries)
{
    QVariantMap inner;
    for (int i = 0; i < 40; ++i)
        inner.insert(u"inner %1"_s.arg(i), i);
    const QVariantMap record{{u"nested"_s, inner}, {u"plain"_s, 1}, {u"second"_s, inner}};
    ArchiveWriter writer;
    writer.encodeObject(record);
    writer.encodeObject(record);

    ArchiveReader reader(writer.data());
    const auto whole = reader.decodeObject();
    ASSERT_TRUE(whole) << reader.errorString().toStdString();
    EXPECT_EQ(whole->toMap(), record);
    QVariantMap entries;
    ASSERT_TRUE(reader.decodeDictionary(
        [&entries](const ArchiveReader::Key &key, QVariant &&value) { entries.insert(key.name, value); },
        [&entries](const ArchiveReader::Key &key, QByteArrayView utf8) {
            entries.insert(key.name, StringAdditions::fromUtf8(utf8));
        }));
    EXPECT_EQ(entries, record);
}
