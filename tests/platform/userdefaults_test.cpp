#include "capturedwarnings.h"
#include "common/temphome.h"
#include "common/waitfor.h"

#include "platform/archive.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    QByteArray fileContents() const
    {
        QFile file(folder + u"/settings.plist"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempHome home;
    QString folder = home.configHome() + u"/vantrel"_s;
    const QVariantMap defaults{{SettingsKey::limit, 500},
                               {SettingsKey::opacity, 0.75},
                               {SettingsKey::fontName, u"Helvetica"_s},
                               {SettingsKey::fontColor, QColor(Qt::white)}};
};

TEST_F(UserDefaultsTest, persistedValuesOverrideDefaultsThatAreNeverSaved)
{
    {
        UserDefaults store(folder);
        store.registerDefaults(defaults);
        EXPECT_EQ(store.objectForKey(SettingsKey::limit), QVariant(qint64(500)));
        EXPECT_FALSE(store.objectForKey(SettingsKey::feeds).isValid());
        store.setObject(20, SettingsKey::limit);
        store.setObject(40, SettingsKey::ageLimit);
        store.removeObjectForKey(SettingsKey::ageLimit);
        EXPECT_EQ(store.integerForKey(SettingsKey::limit), 20);
        ASSERT_TRUE(store.synchronize()) << store.errorString().toStdString();
    }
    EXPECT_FALSE(fileContents().contains("Helvetica"));
    UserDefaults reopened(folder);
    EXPECT_EQ(reopened.integerForKey(SettingsKey::limit), 20);
    EXPECT_FALSE(reopened.objectForKey(SettingsKey::ageLimit).isValid());
    reopened.registerDefaults(defaults);
    reopened.removeObjectForKey(SettingsKey::limit);
    EXPECT_EQ(reopened.integerForKey(SettingsKey::limit), 500);
}

TEST_F(UserDefaultsTest, everyValueTypeRoundTripsThroughTheFile)
{
    const QVariantMap feed{{u"uuid"_s, u"5E7A1C0B-1111-4222-8333-944455556666"_s},
                           {u"enabled"_s, false},
                           {u"image"_s, QByteArray("\x00\x01\xff", 3)}};
    const QVariantMap values{
        {u"string"_s, u"Ünïcödé ✓ <&> \"quoted\""_s},
        {u"whitespace"_s, u"  \n  "_s},
        {u"control"_s, u"line\r\nbreak\x01\tend"_s},
        {u"odd key \x02\r"_s, QString()},
        {u"integer"_s, std::numeric_limits<qint64>::min()},
        {u"real"_s, 0.1},
        {u"huge"_s, 1.7976931348623157e308},
        {u"yes"_s, true},
        {u"date"_s, QDateTime::fromMSecsSinceEpoch(1'765'000'123'456, Qt::UTC)},
        {u"blob"_s, QByteArray(300, '\x7f')},
        {u"array"_s, QVariantList{qint64(1), u"two"_s, QVariantList{}, QVariantMap{}}},
        {u"feeds"_s, QVariantList{feed, feed}},
    };
    {
        UserDefaults store(folder);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setObject(it.value(), it.key());
        // Other numeric and list types are kept in their canonical form.
        store.setObject(int(7), u"int"_s);
        store.setObject(0.5f, u"float"_s);
        store.setObject(QStringList{u"a"_s}, u"list"_s);
        store.setObject(QColor(255, 204, 102), u"colour"_s);
        ASSERT_TRUE(store.synchronize()) << store.errorString().toStdString();
    }
    UserDefaults reopened(folder);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        EXPECT_EQ(reopened.objectForKey(it.key()).typeId(), it.value().typeId()) << it.key().toStdString();
        EXPECT_EQ(reopened.objectForKey(it.key()), it.value()) << it.key().toStdString();
    }
    EXPECT_EQ(reopened.dateForKey(u"date"_s).timeSpec(), Qt::UTC);
    EXPECT_EQ(reopened.objectForKey(u"int"_s), QVariant(qint64(7)));
    EXPECT_EQ(reopened.objectForKey(u"float"_s), QVariant(0.5));
    EXPECT_EQ(reopened.objectForKey(u"list"_s), QVariant(QVariantList{u"a"_s}));
    EXPECT_EQ(reopened.colorForKey(u"colour"_s), QColor(255, 204, 102));
}

TEST_F(UserDefaultsTest, valuesOfOtherTypesAreRefused)
{
    CapturedWarnings warnings;
    UserDefaults store(folder);
    store.setObject(u"kept"_s, u"link"_s);
    EXPECT_FALSE(store.setObject(QUrl(u"http://127.0.0.1/"_s), u"link"_s));
    EXPECT_FALSE(store.setObject(QVariantList{QUrl(u"http://127.0.0.1/"_s)}, u"link"_s));
    EXPECT_FALSE(store.setObject(QDateTime(), u"link"_s));
    EXPECT_EQ(store.stringForKey(u"link"_s), u"kept"_s);
    EXPECT_TRUE(warnings.joined().contains(u"QUrl"_s));
}

TEST_F(UserDefaultsTest, aValueOfTheWrongKindReadsAsAbsent)
{
    {
        UserDefaults store(folder);
        store.setObject(u"lots"_s, SettingsKey::limit);
        store.setObject(u"white"_s, SettingsKey::fontColor);
        store.setObject(true, SettingsKey::opacity);
        ASSERT_TRUE(store.synchronize());
    }
    UserDefaults store(folder);
    store.registerDefaults(defaults);
    EXPECT_EQ(store.objectForKey(SettingsKey::limit), QVariant(qint64(500)));
    EXPECT_EQ(store.colorForKey(SettingsKey::fontColor), QColor(Qt::white));
    // Integers, reals and booleans are one family.
    EXPECT_EQ(store.doubleForKey(SettingsKey::opacity), 1.0);
    // A blob that holds no colour gives the registered colour too.
    store.setObject(QByteArray("not a colour"), SettingsKey::fontColor);
    EXPECT_EQ(store.objectForKey(SettingsKey::fontColor), QVariant(Archive::archiveColor(Qt::white)));
    store.setObject(QColor(Qt::red), SettingsKey::fontColor);
    EXPECT_EQ(store.colorForKey(SettingsKey::fontColor), QColor(Qt::red));
    // The user's values stay on disk untouched.
    EXPECT_TRUE(fileContents().contains("lots"));
}

TEST_F(UserDefaultsTest, typedReadersConvertNumbersAndNumericStrings)
{
    UserDefaults store(folder);
    store.setObject(u" 42 "_s, u"text"_s);
    store.setObject(u"YES"_s, u"yes"_s);
    store.setObject(-2.9, u"real"_s);
    store.setObject(QVariantList{}, u"array"_s);
    EXPECT_EQ(store.integerForKey(u"text"_s), 42);
    EXPECT_TRUE(store.boolForKey(u"yes"_s));
    EXPECT_EQ(store.integerForKey(u"real"_s), -2);
    EXPECT_EQ(store.stringForKey(u"real"_s), u"-2.9"_s);
    EXPECT_EQ(store.integerForKey(u"array"_s), 0);
    EXPECT_TRUE(store.stringForKey(u"array"_s).isNull());
    EXPECT_FALSE(store.dateForKey(u"text"_s).isValid());
}

TEST_F(UserDefaultsTest, changesReachTheDiskSoonAndAtDestruction)
{
    auto store = std::make_unique<UserDefaults>(folder);
    store->setObject(u"soon"_s, u"first"_s);
    EXPECT_TRUE(waitFor([&] { return fileContents().contains("soon"); }, 3000));
    store->setObject(u"at exit"_s, u"second"_s);
    store.reset();
    EXPECT_TRUE(fileContents().contains("at exit"));
}

} // namespace
