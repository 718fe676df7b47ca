#include "common/qtprinters.h"
#include "common/temphome.h"
#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"
#include "model/entry/propertykey.h"
#include "model/entry/textcaps.h"
#include "model/testenvironment.h"
#include "model/testsource.h"
#include "platform/archivereader.h"
#include "platform/archivewriter.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "support/stringadditions.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

// Items held by a source whose names come from its entry in the feed list.
class DataItemWithSourceTest : public testing::Test {
protected:
    DataItemWithSourceTest() : defaults(home.configHome() + u"/vantrel"_s) {}

    std::shared_ptr<TestSource> feedNamed(const QString &name, const QString &customName)
    {
        const QVariantMap entry{{u"uuid"_s, u"0F0F"_s}, {u"name"_s, name}, {u"customName"_s, customName}};
        defaults.setObject(QVariantList{entry}, SettingsKey::feeds);
        return TestSource::create(entry, defaults, clock, environment);
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    TestEnvironment environment;
};

TEST(DataItemPropertiesTest, settingNothingRemovesTheKey)
{
    DataItem item;
    item.setObject(u"Headline"_s, u"title"_s);
    EXPECT_EQ(item.objectForKey(u"title"_s).toString(), u"Headline"_s);
    item.setObject(QVariant(), u"title"_s);
    EXPECT_FALSE(item.objectForKey(u"title"_s).isValid());
}

TEST(DataItemPropertiesTest, programKeysAndParsedNamesReachTheSameValues)
{
    DataItem item;
    item.setObject(u"First"_s, ItemKey::title);
    item.setObject(u"Body"_s, u"description"_s);
    item.setObject(u"Second"_s, u"title"_s);
    item.setObject(7, ItemKey::sequence);
    item.setObject(u"Feedsim"_s, u"dc:creator"_s);
    EXPECT_EQ(item.objectForKey(ItemKey::title).toString(), u"Second"_s);
    EXPECT_EQ(item.valueForKey(u"description"_s).toString(), u"Body"_s);
    EXPECT_EQ(item.sequence(), 7);
    EXPECT_EQ(item.dictionary(), (QVariantMap{{u"title"_s, u"Second"_s},
                                              {u"description"_s, u"Body"_s},
                                              {u"sequence"_s, 7},
                                              {u"dc:creator"_s, u"Feedsim"_s}}));
    item.setObject(QVariant(), ItemKey::sequence);
    item.setObject(QVariant(), u"dc:creator"_s);
    EXPECT_EQ(item.sequence(), 0);
    EXPECT_EQ(item.dictionary().keys(), (QStringList{u"description"_s, u"title"_s}));
}

TEST(DataItemDraftTest, textsJoinPerKeyAndBecomeOneItem)
{
    DataItem::Draft draft;
    draft.appendText(u"Head"_s, PropertyKey(u"title"_s));
    draft.appendText(u"42"_s, PropertyKey(u"sequence"_s));
    draft.appendText(u"line\n"_s, PropertyKey(ItemKey::title));
    draft.setText(u"https://example.org/a"_s, PropertyKey(ItemKey::href));
    draft.setText(u"https://example.org/b"_s, PropertyKey(ItemKey::href));
    const DataItemPtr item = draft.take();
    EXPECT_EQ(item->dictionary(), (QVariantMap{{u"title"_s, u"Headline\n"_s},
                                               {u"sequence"_s, u"42"_s},
                                               {u"href"_s, u"https://example.org/b"_s}}));
    EXPECT_EQ(item->sequence(), 42);

    draft.appendText(u"Next"_s, PropertyKey(ItemKey::title));
    EXPECT_EQ(draft.take()->dictionary(), (QVariantMap{{u"title"_s, u"Next"_s}}));
    EXPECT_EQ(item->title(), u"Headline\n"_s);
}

// The texts of one entry share one block: each must still read, end and change on its own.
TEST(DataItemDraftTest, textsOfOneEntryStayIndependent)
{
    DataItem::Draft draft;
    draft.appendText(u"Caf\u00e9"_s, PropertyKey(ItemKey::title));
    draft.appendText(u"Body"_s, PropertyKey(ItemKey::description));
    draft.appendText(u"\n"_s, PropertyKey(ItemKey::description));
    const DataItemPtr item = draft.take();

    QString title = item->title();
    EXPECT_EQ(title.utf16()[title.size()], 0);
    title += u" au lait"_s;
    EXPECT_EQ(item->title(), u"Caf\u00e9"_s);
    EXPECT_EQ(item->description(), u"Body\n"_s);

    item->appendText(u" more"_s, ItemKey::title);
    EXPECT_EQ(item->title(), u"Caf\u00e9 more"_s);
    EXPECT_EQ(item->description(), u"Body\n"_s);

    QString description = item->description();
    item->setObject(QVariant(), ItemKey::description);
    item->setObject(QVariant(), ItemKey::title);
    description.append(u"grown in place"_s);
    EXPECT_EQ(description, u"Body\ngrown in place"_s);
    EXPECT_TRUE(item->title().isNull());
}

// Texts added to in any order, replaced and repeated, as a feed's elements may come: the item
// holds what a plain dictionary built from the same steps holds, entry after entry.
TEST(DataItemDraftTest, anyOrderOfStepsGivesWhatADictionaryGives)
{
    std::mt19937 random(5);
    const QString names[] = {u"title"_s, u"link"_s, u"category"_s, u"dc:creator"_s};
    const QString pieces[] = {u"\n"_s, u"a"_s, u"Caf\u00e9 "_s, u"longer text of an element"_s, QString()};
    DataItem::Draft draft;
    for (int entry = 0; entry < 500; ++entry) {
        QVariantMap expected;
        const int steps = int(random() % 12);
        for (int step = 0; step < steps; ++step) {
            const QString &name = names[random() % std::size(names)];
            const QString &piece = pieces[random() % std::size(pieces)];
            if (random() % 5 == 0) {
                draft.setText(piece, PropertyKey(QStringView(name)));
                expected[name] = piece;
            } else {
                draft.appendText(piece, PropertyKey(QStringView(name)));
                expected[name] = QString(expected.value(name).toString() + piece);
            }
        }
        ASSERT_EQ(draft.take()->dictionary(), expected) << "entry " << entry;
    }
}

// A text given in pieces stops growing at its cap, and never keeps half a surrogate pair.
TEST(DataItemDraftTest, textsStopGrowingAtTheirCaps)
{
    DataItem::Draft draft;
    // Pieces of 17 units (4096 = 240 * 17 + 16) put the cap between the two halves of a pair.
    for (int i = 0; i < 300; ++i)
        draft.appendText(QString(QString(15, u'x') + u"\U0001F600"_s), PropertyKey(ItemKey::title));
    draft.appendText(QString(TextCaps::body + 1, u's'), PropertyKey(u"summary"_s));
    draft.setText(QString(TextCaps::other + 1, u'g'), PropertyKey(ItemKey::guid));
    const DataItemPtr item = draft.take();
    const QString title = item->title();
    EXPECT_EQ(title.size(), TextCaps::title - 1);
    EXPECT_EQ(title.back(), u'x');
    EXPECT_EQ(item->objectForKey(u"summary"_s).toString().size(), TextCaps::body);
    EXPECT_EQ(item->objectForKey(ItemKey::guid).toString().size(), TextCaps::other);
}

TEST(DataItemPropertiesTest, markIsNoUntilEvaluated)
{
    DataItem item;
    EXPECT_FALSE(item.mark());
    item.setObject(true, u"mark"_s);
    EXPECT_TRUE(item.mark());
    EXPECT_FALSE(item.dictionary().contains(u"mark"_s));
}

TEST(DataItemPropertiesTest, previewPrefersTheFullBody)
{
    DataItem item;
    EXPECT_TRUE(item.previewContent().isNull());
    item.setObject(u"short"_s, u"description"_s);
    EXPECT_EQ(item.previewContent(), u"short"_s);
    item.setObject(u"<p>full</p>"_s, u"content:encoded"_s);
    EXPECT_EQ(item.previewContent(), u"<p>full</p>"_s);
}

TEST(DataItemSourceNamesTest, withoutASourceTheNameIsEmptyAndTheEntryKeepsItsOwn)
{
    DataItem item;
    EXPECT_EQ(item.valueForKey(u"datasource_name"_s).toString(), u""_s);
    EXPECT_FALSE(item.dictionary().contains(u"name"_s));
    item.setObject(u"Author element"_s, u"name"_s);
    EXPECT_EQ(item.dictionary().value(u"name"_s).toString(), u"Author element"_s);
}

TEST_F(DataItemWithSourceTest, customNameWinsAndBothNamesAreSearchable)
{
    auto source = feedNamed(u"Daily Planet"_s, u"Planet"_s);
    DataItem item;
    item.setDatasource(source);
    EXPECT_EQ(item.valueForKey(u"datasource_name"_s).toString(), u"Daily PlanetPlanet"_s);
    EXPECT_EQ(item.dictionary().value(u"name"_s).toString(), u"Planet"_s);
    EXPECT_EQ(item.name(), u"Planet"_s);
    EXPECT_EQ(item.valueForKey(u"datasource"_s).value<std::shared_ptr<ItemSource>>(), source);
}

TEST_F(DataItemWithSourceTest, withoutCustomNameTheFeedTitleIsUsed)
{
    auto source = feedNamed(u"Daily Planet"_s, u""_s);
    DataItem item;
    item.setDatasource(source);
    EXPECT_EQ(item.dictionary().value(u"name"_s).toString(), u"Daily Planet"_s);
    EXPECT_EQ(item.valueForKey(u"datasource_name"_s).toString(), u"Daily Planet"_s);
}

struct LinkCase {
    const char16_t *stored;
    const char16_t *expected;
};

class DataItemLinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(DataItemLinkTest, isCleanedOfWhiteSpace)
{
    DataItem item;
    item.setObject(QString::fromUtf16(GetParam().stored), u"link"_s);
    EXPECT_EQ(item.link(), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataItemLinkTest,
    testing::Values(LinkCase{u"https://example.org/a?b=c", u"https://example.org/a?b=c"},
                    LinkCase{u"  \n https://example.org/story \t\n", u"https://example.org/story"},
                    LinkCase{u"https://example.org/long\n/story", u"https://example.org/long/story"},
                    LinkCase{u" http://exa mple.org/x ", u"http://example.org/x"}));

TEST(DataItemLinkAbsentTest, isNull)
{
    DataItem item;
    EXPECT_TRUE(item.link().isNull());
}

TEST_F(DataItemWithSourceTest, recordRestoresPropertiesAndFlagsButNotSourceOrUnmarkCount)
{
    auto source = feedNamed(u"Feed"_s, u""_s);
    DataItem item;
    item.setObject(u"Title"_s, u"title"_s);
    item.setObject(QDateTime::fromMSecsSinceEpoch(1234567, Qt::UTC), u"parsedDate"_s);
    item.setObject(5, u"sequence"_s);
    item.setRead(true);
    item.setHidden(true);
    item.setUnmarkCount(3);
    item.setDatasource(source);

    ArchiveWriter writer;
    item.encodeWithCoder(writer);
    ArchiveReader reader(writer.data());
    const DataItemPtr restored = DataItem::initWithCoder(reader);

    ASSERT_TRUE(restored) << reader.errorString().toStdString();
    EXPECT_EQ(restored->title(), u"Title"_s);
    EXPECT_EQ(restored->parsedDate(), QDateTime::fromMSecsSinceEpoch(1234567, Qt::UTC));
    EXPECT_EQ(restored->objectForKey(u"sequence"_s).toInt(), 5);
    EXPECT_TRUE(restored->read());
    EXPECT_FALSE(restored->shown());
    EXPECT_TRUE(restored->hidden());
    EXPECT_FALSE(restored->marked());
    EXPECT_EQ(restored->datasource(), nullptr);
    EXPECT_EQ(restored->unmarkCount(), 0);
}

TEST(DataItemRecordTest, damagedRecordsFailWithAMessage)
{
    ArchiveWriter notADictionary;
    notADictionary.encodeObject(u"just a string"_s);
    for (int i = 0; i < 4; ++i)
        notADictionary.encodeBool(false);
    ArchiveReader wrongShape(notADictionary.data());
    EXPECT_EQ(DataItem::initWithCoder(wrongShape), nullptr);
    EXPECT_FALSE(wrongShape.errorString().isEmpty());

    DataItem item;
    item.setObject(u"x"_s, u"title"_s);
    ArchiveWriter writer;
    item.encodeWithCoder(writer);
    ArchiveReader truncated(writer.data().chopped(2));
    EXPECT_EQ(DataItem::initWithCoder(truncated), nullptr);
    EXPECT_FALSE(truncated.errorString().isEmpty());
}

// A little-endian 32-bit count, as item files write them.
void appendUInt32(QByteArray &bytes, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(char(value >> shift & 0xFF));
}

// A record as a file may hold it, keys in any order and any one possibly twice. The value at an
// even position is the text "värde" and the position, at an odd one the position as a number.
QByteArray recordWithKeys(const QList<QByteArray> &keys)
{
    QByteArray bytes("m");
    appendUInt32(bytes, quint32(keys.size()));
    for (qsizetype position = 0; position < keys.size(); ++position) {
        appendUInt32(bytes, quint32(keys[position].size()));
        bytes += keys[position];
        if (position % 2 == 0) {
            const QByteArray text = QStringLiteral("v\u00e4rde %1").arg(position).toUtf8();
            bytes += 's';
            appendUInt32(bytes, quint32(text.size()));
            bytes += text;
        } else {
            bytes += 'i';
            for (int shift = 0; shift < 64; shift += 8)
                bytes.append(char(quint64(position) >> shift & 0xFF));
        }
    }
    return bytes + QByteArray("c\0c\0c\0c\0", 8);
}

// Records read in a row share what was learnt of their keys; whatever the sequence, each record
// reads back as a dictionary would hold it: a key said twice keeps its later value, text or not.
TEST(DataItemRecordTest, recordsOfVaryingKeysReadBackAsDictionaries)
{
    const QList<QList<QByteArray>> records{
        {"a", "b", "c"}, {"a", "b", "c"}, {"a", "c"},      {"c", "b"},           {"c", "b", "c"},
        {"a", "b", "a"}, {"b", "a", "b"}, {"a", "b", "c"}, {"a", "b", "c", "d"}, {"a", "a", "a"},
    };
    QByteArray stream;
    for (const auto &keys : records)
        stream += recordWithKeys(keys);
    ArchiveReader reader(stream);
    for (const auto &keys : records) {
        const DataItemPtr item = DataItem::initWithCoder(reader);
        ASSERT_TRUE(item) << reader.errorString().toStdString();
        QVariantMap expected;
        for (qsizetype position = 0; position < keys.size(); ++position) {
            const QVariant value =
                position % 2 == 0 ? QVariant(u"v\u00e4rde %1"_s.arg(position)) : QVariant(qint64(position));
            expected.insert(QString::fromLatin1(keys[position]), value);
        }
        EXPECT_EQ(item->dictionary(), expected) << keys.join(',').toStdString();
        for (auto [key, value] : expected.asKeyValueRange())
            EXPECT_EQ(item->objectForKey(key), value)
                << keys.join(',').toStdString() << " " << key.toStdString();
    }
    EXPECT_TRUE(reader.atEnd());
}

// A record's texts are decoded into one block together: each still reads as the UTF-8 reader gives
// it, ends in a zero and changes on its own.
TEST(DataItemRecordTest, textsOfARecordReadAsTheUtf8ReaderGivesThemAndStayIndependent)
{
    const QByteArray bom("\xEF\xBB\xBF");
    const QList<QByteArray> texts{"Plain",
                                  "",
                                  bom + "Marked",
                                  "Caf\xC3\xA9 \xE2\x82\xAC"
                                  "5 \xF0\x9F\x93\xB0",
                                  "broken \xC3 and \xFF end",
                                  QByteArray(3000, 'x')};
    QByteArray record("m");
    appendUInt32(record, quint32(texts.size()));
    for (qsizetype k = 0; k < texts.size(); ++k) {
        const QByteArray key = "t" + QByteArray::number(k);
        appendUInt32(record, quint32(key.size()));
        record += key + 's';
        appendUInt32(record, quint32(texts[k].size()));
        record += texts[k];
    }
    record += QByteArray("c\0c\0c\0c\0", 8);
    ArchiveReader reader(record);
    const DataItemPtr item = DataItem::initWithCoder(reader);
    ASSERT_TRUE(item) << reader.errorString().toStdString();
    for (qsizetype k = 0; k < texts.size(); ++k) {
        const QString text = item->objectForKey(u"t%1"_s.arg(k)).toString();
        EXPECT_EQ(text, StringAdditions::fromUtf8(texts[k])) << k;
        EXPECT_FALSE(text.isNull()) << k;
        EXPECT_EQ(text.utf16()[text.size()], 0) << k;
    }
    QString first = item->objectForKey(u"t0"_s).toString();
    first += u" grown"_s;
    EXPECT_EQ(item->objectForKey(u"t0"_s).toString(), u"Plain"_s);
    EXPECT_EQ(item->objectForKey(u"t1"_s).toString(), QString());
}
