#include "app/startup.h"
#include "common/temphome.h"
#include "platform/userdefaults.h"

#include <QImageReader>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The tray shows "vantrel_bw" at the size its host asks for, on panels of any colour, and the
// toolkit does not recolour it: it must be black and white, with solid parts of both at every
// common tray size so that it reads on a light panel and on a dark one.
TEST(StatusItemImageTest, isBlackAndWhiteWithSolidPartsOfBothAtEveryTraySize)
{
    TempHome home;
    UserDefaults defaults(home.configHome() + u"/vantrel"_s);
    Startup::prepareUserDefaults(defaults, {}); // registers the program's resources, as at start

    for (const int size : {16, 19, 22, 24, 38}) {
        SCOPED_TRACE(size);
        QImageReader reader(u":/images/vantrel_bw.svg"_s);
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        int dark = 0;
        int light = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0)
                    continue;
                ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel))
                    << "a coloured pixel at " << x << "," << y;
                if (qAlpha(pixel) == 255 && qRed(pixel) < 48)
                    ++dark;
                if (qAlpha(pixel) == 255 && qRed(pixel) > 208)
                    ++light;
            }
        }
        const int area = size * size;
        EXPECT_GT(dark, area / 10);
        EXPECT_GT(light, area / 10);
    }
}
