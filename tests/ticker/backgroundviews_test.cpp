#include "common/temphome.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "ticker/widgets/scrollbarview.h"
#include "ticker/widgets/vtgradientview.h"

#include "common/pixels.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr float tolerance = 2.0f / 255.0f;

class GradientViewTest : public ::testing::Test {
protected:
    GradientViewTest()
    {
        defaults.setObject(QColor(0, 0, 255), SettingsKey::backgroundColor);
        defaults.setObject(0.8, SettingsKey::opacity);
        view->resize(100, 40);
    }

    TempHome home;
    UserDefaults defaults{home.configHome() + u"/vantrel"_s};
    TranslucentWindow window;
    VTGradientView *view = new VTGradientView(defaults, &window);
};

TEST_F(GradientViewTest, aNegativeAngleLeavesTheViewUndrawn)
{
    defaults.setObject(-1.0, SettingsKey::gradientAngle);
    EXPECT_EQ(partlyTransparentPixels(grabbed(*view)), 0);
    const QImage image = grabbed(*view);
    EXPECT_EQ(colorAt(image, {50, 20}).alpha(), 0);
    EXPECT_EQ(colorAt(image, {0, 0}).alpha(), 0);
}

TEST_F(GradientViewTest, angleZeroFadesFromLeftToRightAndNinetyFromTheBottomUp)
{
    defaults.setObject(0.0, SettingsKey::gradientAngle);
    QImage image = grabbed(*view);
    for (const qreal y : {0, 20, 39}) {
        EXPECT_NEAR(colorAt(image, {0, y}).alphaF(), 0.8f, 0.02f);
        EXPECT_NEAR(colorAt(image, {50, y}).alphaF(), 0.4f, 0.02f);
        EXPECT_NEAR(colorAt(image, {99, y}).alphaF(), 0.0f, 0.02f);
    }
    EXPECT_EQ(colorAt(image, {10, 10}).rgb(), QColor(Qt::blue).rgb());

    defaults.setObject(90.0, SettingsKey::gradientAngle);
    image = grabbed(*view);
    EXPECT_NEAR(colorAt(image, {50, 39}).alphaF(), 0.8f, 0.03f);
    EXPECT_NEAR(colorAt(image, {50, 0}).alphaF(), 0.0f, 0.03f);
}

TEST_F(GradientViewTest, followsColourAndOpacityChangesAndKeepsItsColourWhenTheSettingHoldsNone)
{
    defaults.setObject(0.0, SettingsKey::gradientAngle);
    defaults.setObject(QColor(255, 0, 0), SettingsKey::backgroundColor);
    defaults.setObject(0.5, SettingsKey::opacity);
    EXPECT_EQ(view->backgroundColor(), QColor::fromRgbF(1, 0, 0, 0.5f));
    EXPECT_NEAR(colorAt(grabbed(*view), {0, 20}).alphaF(), 0.5f, 0.02f);

    defaults.setObject(QByteArray("not a colour"), SettingsKey::backgroundColor);
    defaults.removeObjectForKey(SettingsKey::backgroundColor);
    EXPECT_EQ(view->backgroundColor(), QColor::fromRgbF(1, 0, 0, 0.5f));
}

TEST_F(GradientViewTest, withoutAnyColourNothingIsDrawn)
{
    defaults.removeObjectForKey(SettingsKey::backgroundColor);
    view->hide();
    VTGradientView fresh(defaults, &window);
    fresh.resize(50, 20);
    defaults.setObject(0.0, SettingsKey::gradientAngle);
    EXPECT_FALSE(fresh.backgroundColor().isValid());
    EXPECT_EQ(colorAt(grabbed(fresh), {0, 10}).alpha(), 0);
}

TEST(ScrollBarViewTest, isAGreyRoundedBarWithTransparentCorners)
{
    TranslucentWindow window;
    ScrollBarView bar(&window);
    bar.resize(5, 30);
    const QImage image = grabbed(bar);
    const QColor middle = colorAt(image, {2, 15});
    EXPECT_NEAR(middle.redF(), 0.5f, tolerance);
    EXPECT_NEAR(middle.greenF(), 0.5f, tolerance);
    EXPECT_NEAR(middle.blueF(), 0.5f, tolerance);
    EXPECT_NEAR(middle.alphaF(), 0.8f, tolerance);
    EXPECT_LT(colorAt(image, {0, 0}).alphaF(), 0.3f);
    EXPECT_LT(colorAt(image, {4, 29}).alphaF(), 0.3f);
    // The outline's inner half shows through the translucent fill at the edge.
    const QColor edge = colorAt(image, {0, 15});
    EXPECT_GT(edge.alphaF(), 0.8f);
    EXPECT_GT(edge.redF(), 0.5f);
}

} // namespace
