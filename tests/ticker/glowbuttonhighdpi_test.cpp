#include "ticker/widgets/glowbutton.h"
#include "ui/drawing/imagetinting.h"
#include "ui/drawing/namedimage.h"

#include "common/pixels.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QImage nativeRender(const QString &name, const QColor &tint, qreal ratio)
{
    return ImageTinting::tinted(NamedImage::render(name, QSize(20, 20), ratio), tint)
        .convertToFormat(QImage::Format_ARGB32);
}

TEST(GlowButtonHighDpiTest, aButtonDrawsItsIconAtTheScreensRatio)
{
    // Run once as is and once more with QT_SCALE_FACTOR=2 (a separate test entry).
    const qreal ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                            ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                            : 1.0;
    TranslucentWindow window;
    GlowButton button(&window);
    button.setIcon(ImageTinting::imageNamed(u"add"_s, Qt::white));
    button.resize(20, 20);
    button.updateState(true);
    window.show();
    const QImage lit = grabbed(button);
    EXPECT_EQ(lit.devicePixelRatio(), ratio);
    EXPECT_EQ(lit.size(), QSize(20, 20) * ratio);
    const QImage native = nativeRender(u"add"_s, Qt::white, ratio);
    EXPECT_EQ(lit, native);

    // Dimmed, it is drawn through an opacity effect, which must not lower the resolution.
    button.updateState(false);
    const QImage dim = grabbed(button);
    ASSERT_EQ(dim.size(), native.size());
    for (int y = 0; y < dim.height(); ++y)
        for (int x = 0; x < dim.width(); ++x)
            ASSERT_NEAR(qAlpha(dim.pixel(x, y)),
                        GlowButton::defaultInactiveAlpha * qAlpha(native.pixel(x, y)), 2)
                << x << "," << y;
}

} // namespace
