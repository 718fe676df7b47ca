#include "capturedwarnings.h"
#include "common/temphome.h"
#include "common/waitfor.h"

#include "platform/archive.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    std::unique_ptr<UserDefaults> openStore() { return std::make_unique<UserDefaults>(folder); }

    QByteArray fileContents() const
    {
        QFile file(folder + u"/settings.plist"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempHome home;
    QString folder = home.configHome() + u"/vantrel"_s;
};

QVariantMap typicalDefaults()
{
    return {
        {SettingsKey::limit, 500},
        {SettingsKey::opacity, 0.75},
        {SettingsKey::displayImage, true},
        {SettingsKey::fontName, u"Helvetica"_s},
        {SettingsKey::fontColor, QColor(Qt::white)},
        {SettingsKey::keywords, QStringList{u"breaking news"_s, u"Apple"_s}},
    };
}

TEST_F(UserDefaultsTest, PersistedValuesOverrideRegisteredDefaults)
{
    auto store = openStore();
    store->registerDefaults(typicalDefaults());
    EXPECT_EQ(store->objectForKey(SettingsKey::limit), QVariant(qint64(500)));
    EXPECT_FALSE(store->objectForKey(SettingsKey::feeds).isValid());

    store->setObject(20, SettingsKey::limit);
    EXPECT_EQ(store->integerForKey(SettingsKey::limit), 20);

    store->removeObjectForKey(SettingsKey::limit);
    EXPECT_EQ(store->integerForKey(SettingsKey::limit), 500);
}

TEST_F(UserDefaultsTest, RegisteredDefaultsAreNeverWrittenToDisk)
{
    {
        auto store = openStore();
        store->registerDefaults(typicalDefaults());
        store->setObject(u"Submarine"_s, SettingsKey::soundName);
        ASSERT_TRUE(store->synchronize()) << store->errorString().toStdString();
    }
    EXPECT_TRUE(fileContents().contains("Submarine"));
    EXPECT_FALSE(fileContents().contains("Helvetica"));
    auto reopened = openStore();
    EXPECT_FALSE(reopened->objectForKey(SettingsKey::fontName).isValid());
    EXPECT_EQ(reopened->stringForKey(SettingsKey::soundName), u"Submarine"_s);
}

TEST_F(UserDefaultsTest, EveryValueTypeRoundTripsThroughTheFile)
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1'765'000'123'456, Qt::UTC);
    const QVariantMap feed{
        {u"uuid"_s, u"5E7A1C0B-1111-4222-8333-944455556666"_s},
        {u"enabled"_s, false},
        {u"limit"_s, qint64(-3)},
        {u"image"_s, QByteArray("\x00\x01\xff", 3)},
    };
    const QVariantMap values{
        {u"string"_s, u"Ünïcödé ✓ <&> \"quoted\""_s},
        {u"empty"_s, QString()},
        {u"spaces"_s, u"  \n  "_s},
        {u"control"_s, u"line\r\nbreak\x01\tend"_s},
        {u"integer"_s, std::numeric_limits<qint64>::min()},
        {u"real"_s, 0.1},
        {u"huge"_s, 1.7976931348623157e308},
        {u"yes"_s, true},
        {u"no"_s, false},
        {u"date"_s, date},
        {u"blob"_s, QByteArray(300, '\x7f')},
        {u"emptyBlob"_s, QByteArray("")},
        {u"array"_s, QVariantList{qint64(1), u"two"_s, QVariantList{}, QVariantMap{}}},
        {u"feeds"_s, QVariantList{feed, feed}},
        {u"odd key \x02\r"_s, u"value"_s},
    };
    {
        auto store = openStore();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            ASSERT_TRUE(store->setObject(it.value(), it.key())) << it.key().toStdString();
        ASSERT_TRUE(store->synchronize()) << store->errorString().toStdString();
    }
    auto reopened = openStore();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant read = reopened->objectForKey(it.key());
        EXPECT_EQ(read.typeId(), it.value().typeId()) << it.key().toStdString();
        EXPECT_EQ(read, it.value()) << it.key().toStdString();
    }
    EXPECT_EQ(reopened->dateForKey(u"date"_s).timeSpec(), Qt::UTC);
}

TEST_F(UserDefaultsTest, OtherNumericAndListTypesAreStoredInTheirCanonicalForm)
{
    auto store = openStore();
    store->setObject(int(7), u"int"_s);
    store->setObject(float(0.5f), u"float"_s);
    store->setObject(QStringList{u"a"_s, u"b"_s}, u"list"_s);
    store->setObject(QColor(255, 204, 102), u"color"_s);
    EXPECT_EQ(store->objectForKey(u"int"_s).typeId(), QMetaType::LongLong);
    EXPECT_EQ(store->objectForKey(u"float"_s), QVariant(0.5));
    EXPECT_EQ(store->objectForKey(u"list"_s), QVariant(QVariantList{u"a"_s, u"b"_s}));
    EXPECT_EQ(store->colorForKey(u"color"_s), QColor(255, 204, 102));
    EXPECT_EQ(store->objectForKey(u"color"_s).typeId(), QMetaType::QByteArray);
}

TEST_F(UserDefaultsTest, ValuesOfOtherTypesAreRefusedAndNothingIsStored)
{
    CapturedWarnings warnings;
    auto store = openStore();
    store->setObject(u"kept"_s, u"link"_s);
    EXPECT_FALSE(store->setObject(QUrl(u"http://127.0.0.1/"_s), u"link"_s));
    EXPECT_FALSE(store->setObject(QVariantList{QUrl(u"http://127.0.0.1/"_s)}, u"link"_s));
    EXPECT_FALSE(store->setObject(QDateTime(), u"link"_s));
    EXPECT_EQ(store->stringForKey(u"link"_s), u"kept"_s);
    EXPECT_TRUE(warnings.joined().contains(u"QUrl"_s));
}

TEST_F(UserDefaultsTest, AValueOfTheWrongKindReadsAsAbsent)
{
    {
        auto store = openStore();
        store->setObject(u"lots"_s, SettingsKey::limit);
        store->setObject(u"white"_s, SettingsKey::fontColor);
        store->setObject(qint64(0), SettingsKey::displayImage);
        store->setObject(true, SettingsKey::opacity);
        ASSERT_TRUE(store->synchronize());
    }
    auto store = openStore();
    store->registerDefaults(typicalDefaults());
    EXPECT_EQ(store->objectForKey(SettingsKey::limit), QVariant(qint64(500)));
    EXPECT_EQ(store->integerForKey(SettingsKey::limit), 500);
    EXPECT_EQ(store->colorForKey(SettingsKey::fontColor), QColor(Qt::white));
    // Integers, reals and booleans are one family: these are the user's values.
    EXPECT_FALSE(store->boolForKey(SettingsKey::displayImage));
    EXPECT_EQ(store->doubleForKey(SettingsKey::opacity), 1.0);
    // The mismatched values stay on disk untouched.
    EXPECT_TRUE(fileContents().contains("lots"));
}

TEST_F(UserDefaultsTest, ABlobThatIsNoColourFallsBackToTheRegisteredColour)
{
    auto store = openStore();
    store->registerDefaults(typicalDefaults());
    store->setObject(QByteArray("not a colour"), SettingsKey::fontColor);
    EXPECT_EQ(store->colorForKey(SettingsKey::fontColor), QColor(Qt::white));
    store->setObject(Archive::archiveColor(QColor(Qt::red)), SettingsKey::fontColor);
    EXPECT_EQ(store->colorForKey(SettingsKey::fontColor), QColor(Qt::red));
    EXPECT_FALSE(store->colorForKey(u"unknown"_s).isValid());
    EXPECT_TRUE(store->imageForKey(SettingsKey::fontColor).isNull());
}

TEST_F(UserDefaultsTest, TypedReadersConvertBetweenNumbersAndStrings)
{
    auto store = openStore();
    store->setObject(u" 42 "_s, u"text"_s);
    store->setObject(u"YES"_s, u"yes"_s);
    store->setObject(2.9, u"real"_s);
    store->setObject(-2.9, u"negative"_s);
    store->setObject(QVariantList{}, u"array"_s);

    EXPECT_EQ(store->integerForKey(u"text"_s), 42);
    EXPECT_EQ(store->doubleForKey(u"text"_s), 42.0);
    EXPECT_TRUE(store->boolForKey(u"text"_s));
    EXPECT_TRUE(store->boolForKey(u"yes"_s));
    EXPECT_EQ(store->integerForKey(u"real"_s), 2);
    EXPECT_EQ(store->integerForKey(u"negative"_s), -2);
    EXPECT_EQ(store->stringForKey(u"real"_s), u"2.9"_s);
    EXPECT_EQ(store->integerForKey(u"array"_s), 0);
    EXPECT_TRUE(store->stringForKey(u"array"_s).isNull());
    EXPECT_TRUE(store->dictionaryForKey(u"array"_s).isEmpty());
    EXPECT_FALSE(store->dateForKey(u"text"_s).isValid());
    EXPECT_TRUE(store->dataForKey(u"missing"_s).isNull());
}

TEST_F(UserDefaultsTest, ChangesReachTheDiskSoonWithoutSynchronize)
{
    auto store = openStore();
    store->setObject(u"soon"_s, u"written"_s);
    EXPECT_FALSE(fileContents().contains("soon"));
    EXPECT_TRUE(waitFor([&] { return fileContents().contains("soon"); }, 3000));
}

TEST_F(UserDefaultsTest, PendingChangesAreWrittenWhenTheStoreIsDestroyed)
{
    openStore()->setObject(u"at exit"_s, u"written"_s);
    EXPECT_EQ(openStore()->stringForKey(u"written"_s), u"at exit"_s);
}

TEST_F(UserDefaultsTest, TheFolderIsCreatedWithItsParentsOnAFreshAccount)
{
    ASSERT_FALSE(QDir(home.configHome()).exists());
    auto store = openStore();
    store->setObject(true, SettingsKey::firstRun);
    ASSERT_TRUE(store->synchronize()) << store->errorString().toStdString();
    EXPECT_TRUE(QFile::exists(folder + u"/settings.plist"_s));
}

} // namespace
