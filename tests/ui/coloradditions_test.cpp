#include "ui/drawing/coloradditions.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

constexpr float tolerance = 1.0f / 255.0f;

TEST(ColorAdditionsTest, highlightOfWhiteIsOneStepDarkerGrey)
{
    const QColor highlighted = ColorAdditions::highlight(Qt::white);
    EXPECT_NEAR(highlighted.valueF(), 0.9f, tolerance);
    EXPECT_EQ(highlighted.hsvSaturation(), 0);
    EXPECT_FLOAT_EQ(highlighted.alphaF(), 1.0f);
}

TEST(ColorAdditionsTest, highlightOfBlackMovesThirtyPercentTowardsThePalettesLight)
{
    const QColor light = QGuiApplication::palette().color(QPalette::Light);
    const QColor black = QColor::fromRgbF(0, 0, 0, 0.5f);
    const QColor highlighted = ColorAdditions::highlight(black);
    EXPECT_NEAR(highlighted.redF(), 0.3f * light.redF(), tolerance);
    EXPECT_NEAR(highlighted.greenF(), 0.3f * light.greenF(), tolerance);
    EXPECT_NEAR(highlighted.blueF(), 0.3f * light.blueF(), tolerance);
    EXPECT_NEAR(highlighted.alphaF(), 0.5f + 0.3f * (light.alphaF() - 0.5f), tolerance);
}

TEST(ColorAdditionsTest, darkerKeepsHueSaturationAndAlphaAndStopsAtBlack)
{
    const QColor orange = QColor::fromHsvF(0.08f, 0.8f, 0.9f, 0.6f);
    const QColor darker = ColorAdditions::darkerWithLevel(orange, 0.3);
    EXPECT_NEAR(darker.hsvHueF(), 0.08f, 0.002f);
    EXPECT_NEAR(darker.hsvSaturationF(), 0.8f, 0.002f);
    EXPECT_NEAR(darker.valueF(), 0.6f, tolerance);
    EXPECT_NEAR(darker.alphaF(), 0.6f, tolerance);

    const QColor black = ColorAdditions::darkerWithLevel(QColor::fromHsvF(0.5f, 0.5f, 0.2f), 0.4);
    EXPECT_EQ(black.valueF(), 0.0f);
}

} // namespace
