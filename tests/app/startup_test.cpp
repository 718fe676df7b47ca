#include "app/defaultsettings.h"
#include "app/startup.h"
#include "common/qtprinters.h"
#include "common/temphome.h"
#include "platform/archive.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QColor>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class StartupSeedingTest : public testing::Test {
protected:
    QString folder() const { return home.configHome() + u"/vantrel"_s; }

    // One launch of the program against the settings on disk.
    void launch(bool *transformed = nullptr)
    {
        UserDefaults defaults(folder());
        Startup::prepareUserDefaults(defaults, [transformed] {
            if (transformed)
                *transformed = true;
        });
        ASSERT_TRUE(defaults.synchronize());
    }

    QVariant stored(const QString &key) const { return UserDefaults(folder()).objectForKey(key); }

    TempHome home;
};

TEST_F(StartupSeedingTest, firstLaunchSubscribesToOneFeedAndRecordsTheFirstRun)
{
    launch();
    const QVariantList feeds = stored(SettingsKey::feeds).toList();
    ASSERT_EQ(feeds.size(), 1);
    const QVariantMap feed = feeds.first().toMap();
    EXPECT_EQ(feed.value(u"name"_s).toString(), u"Engadget"_s);
    EXPECT_EQ(feed.value(u"customName"_s).toString(), u"Engadget"_s);
    EXPECT_TRUE(feed.value(u"url"_s).toString().startsWith(u"http://"_s));
    EXPECT_TRUE(feed.value(u"url"_s).toString().endsWith(u"/rss.xml"_s));
    EXPECT_FALSE(feed.contains(u"enabled"_s));
    static const QRegularExpression uuidForm(
        u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_s);
    EXPECT_TRUE(uuidForm.match(feed.value(u"uuid"_s).toString()).hasMatch());
    const QVariant icon = Archive::unarchive(feed.value(u"image"_s).toByteArray());
    ASSERT_EQ(icon.typeId(), QMetaType::QImage);
    EXPECT_FALSE(icon.value<QImage>().isNull());

    EXPECT_EQ(stored(SettingsKey::firstRun), QVariant(false));
    EXPECT_EQ(stored(SettingsKey::soundName).toString(), u"Submarine"_s);
}

TEST_F(StartupSeedingTest, anEmptyFeedListStaysEmpty)
{
    UserDefaults(folder()).setObject(QVariantList(), SettingsKey::feeds);
    launch();
    EXPECT_TRUE(stored(SettingsKey::feeds).isValid());
    EXPECT_TRUE(stored(SettingsKey::feeds).toList().isEmpty());
}

TEST_F(StartupSeedingTest, laterLaunchesKeepTheUsersChoices)
{
    launch();
    const QString firstUuid = stored(SettingsKey::feeds).toList().first().toMap().value(u"uuid"_s).toString();
    {
        UserDefaults defaults(folder());
        defaults.setObject(u"Glass"_s, SettingsKey::soundName);
        defaults.setObject(u"Always"_s, SettingsKey::appleShowScrollBars);
    }
    launch();
    EXPECT_EQ(stored(SettingsKey::soundName).toString(), u"Glass"_s);
    EXPECT_EQ(stored(SettingsKey::appleShowScrollBars).toString(), u"WhenScrolling"_s);
    EXPECT_EQ(stored(SettingsKey::feeds).toList().first().toMap().value(u"uuid"_s).toString(), firstUuid);
}

TEST_F(StartupSeedingTest, taskbarPresenceFollowsShowInDock)
{
    bool transformed = false;
    launch(&transformed);
    EXPECT_TRUE(transformed);

    UserDefaults(folder()).setObject(false, SettingsKey::showInDock);
    transformed = false;
    launch(&transformed);
    EXPECT_FALSE(transformed);
}

TEST_F(StartupSeedingTest, registeredDefaultsAnswerButAreNeverWritten)
{
    {
        UserDefaults defaults(folder());
        Startup::prepareUserDefaults(defaults, {});
        EXPECT_EQ(defaults.integerForKey(SettingsKey::limit), 500);
        EXPECT_EQ(defaults.integerForKey(SettingsKey::ageLimit), 7);
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(SettingsKey::opacity), 0.75);
        EXPECT_EQ(defaults.stringForKey(SettingsKey::fontName), u"Helvetica"_s);
        EXPECT_EQ(defaults.arrayForKey(SettingsKey::keywords),
                  (QVariantList{u"breaking news"_s, u"Apple"_s}));
        const QVariant mark = Archive::unarchive(defaults.dataForKey(SettingsKey::markFontColor));
        ASSERT_EQ(mark.typeId(), QMetaType::QColor);
        EXPECT_NEAR(mark.value<QColor>().greenF(), 0.8, 1e-6);
        ASSERT_TRUE(defaults.synchronize());
    }
    EXPECT_FALSE(stored(SettingsKey::limit).isValid());
    EXPECT_FALSE(stored(SettingsKey::markFontColor).isValid());
}

TEST(DefaultSettingsTableTest, registersEachKeyOnce)
{
    const auto table = DefaultSettings::registeredDefaults();
    QSet<QString> keys;
    for (const auto &entry : table)
        keys.insert(entry.first);
    EXPECT_EQ(keys.size(), table.size());
}
