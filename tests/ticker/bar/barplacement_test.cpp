#include "barfixture.h"

#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

// Runs with the two screens of twoscreens.json: LEFT 1920 × 1080 at 0, RIGHT 1280 × 1024 at 1920.
class BarPlacementTest : public BarFixture {
protected:
    void SetUp() override
    {
        if (QGuiApplication::screens().size() < 2)
            GTEST_SKIP() << "runs as vantrel_ticker_tests_two_screens";
    }
    static QScreen *screen(const QString &name)
    {
        for (QScreen *screen : QGuiApplication::screens())
            if (screen->name() == name)
                return screen;
        return nullptr;
    }
};

TEST_F(BarPlacementTest, theBarDocksAtEitherEdgeOfTheChosenScreenOverItsWholeHeight)
{
    startBar(3);
    ASSERT_NE(screen(u"RIGHT"_s), nullptr);
    bar->resizeWindowForScreen(screen(u"RIGHT"_s));
    EXPECT_EQ(bar->window()->geometry(), QRect(1920 + 1280 - 250, 0, 250, 1024));
    defaults.setObject(0, SettingsKey::location);
    EXPECT_EQ(bar->window()->geometry(), QRect(1920, 0, 250, 1024));

    bar->resizeWindowForScreen(screen(u"LEFT"_s));
    EXPECT_EQ(bar->window()->geometry(), QRect(0, 0, 250, 1080));
    defaults.setObject(1, SettingsKey::location);
    EXPECT_EQ(bar->window()->geometry(), QRect(1920 - 250, 0, 250, 1080));
    EXPECT_EQ(bar->scrollView()->height(), 1080 - 4);
}

TEST_F(BarPlacementTest, aFreeWindowDockedAgainStaysOnTheScreenItWasMovedTo)
{
    startBar(3);
    defaults.setObject(2, SettingsKey::location);
    bar->window()->setGeometry(2100, 100, 300, 400);
    QCoreApplication::processEvents();
    ASSERT_EQ(bar->window()->screen(), screen(u"RIGHT"_s));
    defaults.setObject(0, SettingsKey::location);
    EXPECT_EQ(bar->window()->geometry(), QRect(1920, 0, 300, 1024));
    EXPECT_EQ(defaults.stringForKey(SettingsKey::screen), u"RIGHT"_s);
}

TEST_F(BarPlacementTest, theScreenSettingMovesTheBarAndAnAbsentScreenLeavesItOnThePrimary)
{
    startBar(3);
    defaults.setObject(u"RIGHT"_s, SettingsKey::screen);
    EXPECT_EQ(bar->window()->geometry(), QRect(1920 + 1280 - 250, 0, 250, 1024));
    defaults.setObject(u"GONE"_s, SettingsKey::screen);
    EXPECT_EQ(bar->window()->geometry(), QRect(1920 - 250, 0, 250, 1080));
    EXPECT_EQ(defaults.stringForKey(SettingsKey::screen), u"GONE"_s);
}

} // namespace
