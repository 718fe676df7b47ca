#include "ui/drawing/namedimage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A row whose feed has no icon draws the built-in "vantrel-single" at 24 × 24 points. Its tile
// starts 2 points inside on every side, on whole pixels at both ratios, so it is never blurred.
TEST(FallbackFeedImageTest, isATileOf24PointsWithEdgesOnWholePixelsAtRatiosOneAndTwo)
{
    ASSERT_EQ(NamedImage::size(u"vantrel-single"_s), QSize(24, 24));
    for (const int ratio : {1, 2}) {
        SCOPED_TRACE(ratio);
        const QImage image =
            NamedImage::render(u"vantrel-single"_s, ratio).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(24, 24) * ratio);
        EXPECT_EQ(image.devicePixelRatio(), ratio);
        const int first = 2 * ratio;
        const int last = 22 * ratio - 1;
        const int middle = 12 * ratio;
        EXPECT_EQ(qAlpha(image.pixel(first - 1, middle)), 0);
        EXPECT_EQ(qAlpha(image.pixel(first, middle)), 255);
        EXPECT_EQ(qAlpha(image.pixel(last, middle)), 255);
        EXPECT_EQ(qAlpha(image.pixel(last + 1, middle)), 0);
        EXPECT_EQ(qAlpha(image.pixel(middle, first - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(middle, first)), 255);
        EXPECT_EQ(qAlpha(image.pixel(middle, last)), 255);
        EXPECT_EQ(qAlpha(image.pixel(middle, last + 1)), 0);
    }
}
