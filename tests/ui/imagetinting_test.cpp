#include "ui/drawing/imagetinting.h"
#include "ui/drawing/namedimage.h"

#include "common/pixels.h"

#include <QScreen>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The images the bar's tool buttons and rows are drawn with.
const QStringList toolImages{u"search"_s,     u"minimize"_s,     u"starred"_s,      u"marked"_s,
                             u"add"_s,        u"preferences"_s,  u"autohide_off"_s, u"autohide_on"_s,
                             u"share-icon"_s, u"star-outline"_s, u"star-filled"_s};

TEST(NamedImageTest, everyToolImageIsAWhiteShapeOnTransparency)
{
    for (const QString &name : toolImages) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = NamedImage::render(name).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(image.size() == QSize(20, 20) || image.size() == QSize(16, 16));
        int opaque = 0;
        int transparent = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0)
                    ++transparent;
                if (qAlpha(pixel) == 255) {
                    ++opaque;
                    EXPECT_EQ(pixel, qRgb(255, 255, 255));
                }
            }
        }
        EXPECT_GT(opaque, 10);
        EXPECT_GT(transparent, image.width() * image.height() / 3);
    }
}

TEST(ImageTintingTest, theColourReplacesTheImagesColoursAndKeepsItsAlpha)
{
    const QColor tint(200, 40, 10);
    const QImage original = NamedImage::render(u"preferences"_s, 2.0);
    const QImage tinted = ImageTinting::tinted(original, tint);
    ASSERT_EQ(tinted.size(), original.size());
    EXPECT_EQ(tinted.devicePixelRatio(), 2.0);
    const QImage before = original.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < tinted.height(); ++y) {
        for (int x = 0; x < tinted.width(); ++x) {
            const QRgb was = before.pixel(x, y);
            const QRgb is = tinted.pixel(x, y);
            ASSERT_EQ(qAlpha(is), qAlpha(was)) << x << "," << y;
            // Premultiplied: each channel is the tint's scaled by the pixel's alpha.
            EXPECT_NEAR(qRed(is), tint.red() * qAlpha(was) / 255, 1);
            EXPECT_NEAR(qGreen(is), tint.green() * qAlpha(was) / 255, 1);
            EXPECT_NEAR(qBlue(is), tint.blue() * qAlpha(was) / 255, 1);
        }
    }
}

TEST(ImageTintingTest, anIconShowsItsAlternateImageWhenOn)
{
    const QIcon icon = ImageTinting::imageNamed(u"autohide_off"_s, Qt::white, u"autohide_on"_s);
    const QImage off = icon.pixmap(QSize(20, 20), 1.0, QIcon::Normal, QIcon::Off).toImage();
    const QImage on = icon.pixmap(QSize(20, 20), 1.0, QIcon::Normal, QIcon::On).toImage();
    EXPECT_EQ(off, NamedImage::render(u"autohide_off"_s, QSize(20, 20)));
    EXPECT_EQ(on, NamedImage::render(u"autohide_on"_s, QSize(20, 20)));
}

// Icons drawn for a device pixel ratio are drawn from the vector source at that resolution,
// not scaled up from a smaller bitmap.
class HighDpiTest : public ::testing::Test {
protected:
    static QImage nativeRender(const QString &name, const QColor &tint, qreal ratio)
    {
        return ImageTinting::tinted(NamedImage::render(name, QSize(20, 20), ratio), tint)
            .convertToFormat(QImage::Format_ARGB32);
    }
    static QImage upscaled(const QImage &image, qreal ratio)
    {
        return image.scaled(image.size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
};

TEST_F(HighDpiTest, iconPixmapsAtRatioTwoAreRenderedAtTwiceTheResolution)
{
    const QColor tint(30, 160, 240);
    const QIcon icon = ImageTinting::imageNamed(u"search"_s, tint);
    const QImage atTwo = icon.pixmap(QSize(20, 20), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(atTwo.size(), QSize(40, 40));
    EXPECT_EQ(atTwo.devicePixelRatio(), 2.0);
    QImage expected = nativeRender(u"search"_s, tint, 2.0);
    EXPECT_EQ(atTwo, expected);
    EXPECT_LT(partlyTransparentPixels(atTwo),
              partlyTransparentPixels(upscaled(nativeRender(u"search"_s, tint, 1.0), 2.0)));
}

} // namespace
