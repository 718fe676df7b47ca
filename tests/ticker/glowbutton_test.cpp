#include "common/steppinganimationdriver.h"
#include "ticker/widgets/glowbutton.h"
#include "ui/animation/viewalpha.h"
#include "ui/drawing/imagetinting.h"

#include "common/pixels.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A tool button in a small bar, with the pointer moved by real mouse events.
class GlowButtonTest : public ::testing::Test {
protected:
    GlowButtonTest()
    {
        bar.resize(80, 40);
        button->setGeometry(10, 10, 20, 20);
        button->setIcon(ImageTinting::imageNamed(u"marked"_s, Qt::white));
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
        QTest::mouseMove(&bar, QPoint(70, 35));
    }
    qreal alpha() const { return ViewAlpha::of(button); }
    void pointTo(const QPoint &inButton) { QTest::mouseMove(button, inButton); }
    void pointAway() { QTest::mouseMove(&bar, QPoint(70, 35)); }
    // The alpha the button paints its icon's solid middle with.
    qreal paintedAlpha() { return colorAt(grabbed(*button), QPointF(10, 8)).alphaF(); }

    SteppingAnimationDriver clock;
    TranslucentWindow bar;
    GlowButton *button = new GlowButton(&bar);
};

TEST_F(GlowButtonTest, restsDimAndGlowsInATenthOfASecondWhileThePointerIsOver)
{
    button->setUseTrackingArea(true);
    EXPECT_DOUBLE_EQ(alpha(), 0.3);
    EXPECT_NEAR(paintedAlpha(), 0.3, 0.01);

    pointTo(QPoint(8, 8));
    clock.advanceBy(50);
    EXPECT_NEAR(alpha(), 0.65, 0.01);
    clock.advanceBy(60);
    EXPECT_DOUBLE_EQ(alpha(), 1.0);
    EXPECT_NEAR(paintedAlpha(), 1.0, 0.01);

    pointAway();
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 0.3);
}

TEST_F(GlowButtonTest, theRightmostFourPixelsAreNotTracked)
{
    button->setUseTrackingArea(true);
    pointTo(QPoint(17, 8));
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 0.3);
    pointTo(QPoint(15, 8));
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 1.0);
    pointTo(QPoint(16, 8));
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 0.3);
}

TEST_F(GlowButtonTest, withoutATrackingAreaThePointerChangesNothing)
{
    EXPECT_FALSE(button->useTrackingArea());
    pointTo(QPoint(8, 8));
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 0.3);

    button->setUseTrackingArea(true);
    button->setUseTrackingArea(false);
    pointAway();
    pointTo(QPoint(8, 8));
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 0.3);
}

TEST_F(GlowButtonTest, aButtonThatRespectsItsStateStaysLitWhileOnAndFadesWhenOff)
{
    button->setCheckable(true);
    button->setRespectsState(true);
    button->setUseTrackingArea(true);
    button->updateState(true);
    EXPECT_DOUBLE_EQ(alpha(), 1.0);
    pointTo(QPoint(8, 8));
    pointAway();
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 1.0);

    button->setState(false);
    EXPECT_DOUBLE_EQ(alpha(), 1.0);
    pointTo(QPoint(8, 8));
    pointAway();
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), GlowButton::defaultInactiveAlpha);
}

TEST_F(GlowButtonTest, clickingARespectingButtonLightsItWhenOnAndDimsItAtOnceWhenOff)
{
    button->setCheckable(true);
    button->setRespectsState(true);
    button->setInactiveAlpha(0.2);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(button->state());
    clock.advanceBy(110);
    EXPECT_DOUBLE_EQ(alpha(), 1.0);

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_FALSE(button->state());
    EXPECT_DOUBLE_EQ(alpha(), 0.2);
    EXPECT_FALSE(ViewAlpha::isAnimating(button));
}

} // namespace
