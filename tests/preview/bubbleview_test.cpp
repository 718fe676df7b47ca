#include "preview/vtpreviewbubbleview.h"

#include "common/pixels.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// The bubble alone in a translucent window, 322 × 232 as for content of 300 × 200, with the arrow
// in the middle. Arrow positions are bottom-up (from the bubble's bottom edge), pixels top-down.
class BubbleViewHighDpiTest : public ::testing::Test {
protected:
    static constexpr int width = 322;
    static constexpr int height = 232;

    BubbleViewHighDpiTest()
    {
        window.resize(width, height);
        bubble->setGeometry(0, 0, width, height);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QImage draw(qreal arrowY, bool onLeft)
    {
        bubble->setShowOnLeft(onLeft);
        bubble->setArrowLocation(QPointF(0, arrowY));
        return grabbed(*bubble);
    }
    static QPointF at(qreal x, qreal bottomUpY) { return {x, height - bottomUpY}; }
    static bool painted(const QImage &image, QPointF point) { return colorAt(image, point).alpha() > 240; }
    static bool clear(const QImage &image, QPointF point) { return colorAt(image, point).alpha() < 128; }

    TranslucentWindow window;
    VTPreviewBubbleView *bubble = new VTPreviewBubbleView(&window);
};

} // namespace

TEST_F(BubbleViewHighDpiTest, theArrowPointsOutOfTheSideItIsOn)
{
    const QImage left = draw(116, true);
    EXPECT_TRUE(painted(left, at(8, 116))); // inside the arrow
    EXPECT_TRUE(clear(left, at(8, 150)));   // beside the bubble, away from the arrow
    EXPECT_TRUE(painted(left, at(width - 8, 150)));
    EXPECT_TRUE(clear(left, at(width - 1, 116)));

    const QImage right = draw(116, false);
    EXPECT_TRUE(painted(right, at(width - 8, 116)));
    EXPECT_TRUE(clear(right, at(width - 8, 150)));
    EXPECT_TRUE(painted(right, at(8, 150)));
    EXPECT_TRUE(clear(right, at(0, 116)));
}

TEST_F(BubbleViewHighDpiTest, anArrowOutsideTheBandBetweenTheCornersIsNotDrawn)
{
    for (qreal y : {10.0, 5.0, height - 20.0, height - 5.0}) {
        const QImage image = draw(y, true);
        EXPECT_TRUE(clear(image, at(8, y))) << "arrow at " << y;
    }
    EXPECT_TRUE(painted(draw(11, true), at(8, 11)));
    EXPECT_TRUE(painted(draw(height - 21, true), at(8, height - 21)));
}

TEST_F(BubbleViewHighDpiTest, aWhiteRimWithASoftShadowAroundALightGreyBodyLighterAtTheTop)
{
    const QImage image = draw(116, true);
    const qreal middle = (14 + width - 4) / 2.0;

    // The rim: white, on the outline 4 inside the edge, and the blurred shadow beyond it.
    EXPECT_EQ(colorAt(image, QPointF(middle, 3)), QColor(Qt::white));
    EXPECT_EQ(colorAt(image, QPointF(middle, height - 3)), QColor(Qt::white));
    const QColor shadow = colorAt(image, QPointF(middle, 0));
    EXPECT_GT(shadow.alpha(), 10);
    EXPECT_LT(shadow.alpha(), 200);
    EXPECT_LT(shadow.red(), 128);
    EXPECT_GT(partlyTransparentPixels(image), 2 * (width + height));

    // The body: opaque grey from 0.99 at the top to 0.9 at the bottom.
    const QColor top = colorAt(image, QPointF(middle, 8));
    const QColor centre = colorAt(image, QPointF(middle, height / 2.0));
    const QColor bottom = colorAt(image, QPointF(middle, height - 8));
    for (const QColor &body : {top, centre, bottom}) {
        EXPECT_EQ(body.alpha(), 255);
        EXPECT_EQ(body.red(), body.blue());
    }
    EXPECT_NEAR(top.red(), 251, 2);
    EXPECT_NEAR(centre.red(), 241, 2);
    EXPECT_NEAR(bottom.red(), 231, 2);
}
