#include "rowfixture.h"

#include "ticker/rows/gradientcache.h"

#include <QBuffer>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QImage filled(const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool isRed(const QColor &color)
{
    return color.red() > 200 && color.green() < 60 && color.blue() < 60 && color.alpha() == 255;
}

class RowIconTest : public RowFixture {
protected:
    RowIconTest() { defaults.setObject(1.0, SettingsKey::opacity); }

    // The rows of a row's icon rectangle (top-down) that show red at the icon's middle column,
    // and the columns that do at its middle row.
    static std::pair<QRect, QRect> redExtent(DataItemView *view)
    {
        const QImage image = grabbed(*view);
        const QRect icon(4, 4, 65, rowHeight - 8);
        int top = -1, bottom = -1, left = -1, right = -1;
        for (int y = icon.top(); y <= icon.bottom(); ++y) {
            if (isRed(colorAt(image, {qreal(icon.center().x()), qreal(y)}))) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
        for (int x = icon.left(); x <= icon.right(); ++x) {
            if (isRed(colorAt(image, {qreal(x), qreal(icon.center().y())}))) {
                left = left < 0 ? x : left;
                right = x;
            }
        }
        return {QRect(QPoint(left, top), QPoint(right, bottom)), icon};
    }

    std::shared_ptr<TestSource> feed = addFeed(u"City Desk"_s, {{u"backgroundColor"_s, QColor(0, 0, 160)}});
};

TEST_F(RowIconTest, aLargerIconIsScaledDownInProportionAndCentred)
{
    // 65 × 70 points of room: a 200 × 100 icon becomes 65 × 32, 19 points below the top.
    feed->setImage(filled({200, 100}, Qt::red));
    const auto [red, icon] = redExtent(row(entry(feed, u"wide"_s)));
    EXPECT_EQ(red, QRect(4, 4 + 19, 65, 32));

    // A tall one: 70 high, floor(50 × 0.7) = 35 wide, 15 points from the left.
    feed->setImage(filled({50, 100}, Qt::red));
    const auto [tall, room] = redExtent(row(entry(feed, u"tall"_s), 2));
    EXPECT_EQ(tall, QRect(4 + 15, 4, 35, 70));
}

TEST_F(RowIconTest, aSmallerIconKeepsItsSizeAndIsCentred)
{
    feed->setImage(filled({11, 10}, Qt::red));
    const auto [red, icon] = redExtent(row(entry(feed, u"small"_s)));
    // floor((65 − 11) / 2 + 4) = 31 from the left; 30 points above and below.
    EXPECT_EQ(red, QRect(31, 4 + 30, 11, 10));
}

TEST_F(RowIconTest, aFeedWithoutAnIconShowsTheBuiltInOneAndIconsCanBeHidden)
{
    const auto bare = addFeed(u"Bare"_s);
    DataItemView *view = row(entry(bare, u"no icon"_s));
    const QImage shown = grabbed(*view);
    // The built-in icon, 24 × 24 in the middle of the 65 × 70 rectangle, over the general black.
    const auto drawnOn = [](const QImage &image, int x, int y) { return image.pixel(x, y) != qRgb(0, 0, 0); };
    int inside = 0, outside = 0;
    for (int y = 4; y < rowHeight - 4; ++y) {
        for (int x = 4; x < 69; ++x) {
            const bool onIcon = x >= 24 && x < 48 && y >= 27 && y < 51;
            (onIcon ? inside : outside) += drawnOn(shown, x, y);
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);

    defaults.setObject(false, SettingsKey::displayImage);
    const QImage hidden = grabbed(*view);
    int drawn = 0;
    for (int y = 27; y < 51; ++y)
        for (int x = 24; x < 48; ++x)
            drawn += drawnOn(hidden, x, y);
    EXPECT_EQ(drawn, 0);
}

class RowDropTest : public RowIconTest {
protected:
    // Drags `data` over the row at `at` and drops it there; whether the row took it.
    bool drop(DataItemView *view, QMimeData *data, const QPoint &at)
    {
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &move);
        inDropModeWhileOver = view->isInDropMode();
        if (!move.isAccepted()) {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(view, &leave);
            return false;
        }
        QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &dropped);
        return dropped.isAccepted();
    }

    static QMimeData *imageData(const QString &type, const QByteArray &bytes)
    {
        auto *data = new QMimeData;
        data->setData(type, bytes);
        return data;
    }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = home.path() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QMimeData *fileData(const QString &path)
    {
        auto *data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path)});
        return data;
    }

    bool inDropModeWhileOver = false;
    const QImage green = filled({40, 40}, QColor(0, 200, 0));
    const QPoint onTheIcon{30, 40};
};

TEST_F(RowDropTest, anImageDroppedOnTheIconBecomesTheIconOfEveryRowOfTheFeed)
{
    DataItemView *view = row(entry(feed, u"first"_s), 1);
    DataItemView *sibling = row(entry(feed, u"second"_s), 2);
    std::unique_ptr<QMimeData> data(imageData(u"image/png"_s, encoded(green, "PNG")));
    ASSERT_TRUE(drop(view, data.get(), onTheIcon));
    EXPECT_TRUE(inDropModeWhileOver);
    EXPECT_FALSE(view->isInDropMode());
    EXPECT_EQ(feed->image().pixelColor(20, 20), QColor(0, 200, 0));
    EXPECT_EQ(colorAt(grabbed(*view), {36, 39}), QColor(0, 200, 0));
    EXPECT_EQ(colorAt(grabbed(*sibling), {36, 39}), QColor(0, 200, 0));
}

TEST_F(RowDropTest, theIconTakesImageDataOfEveryCommonFormat)
{
    DataItemView *view = row(entry(feed, u"first"_s));
    // Qt writes no GIF: a 1 × 1 one by hand.
    const QByteArray gif =
        QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c00000000"
                            "010001000002024401003b");
    const QList<std::tuple<QString, QByteArray, QSize>> drags{
        {u"image/tiff"_s, encoded(green, "TIFF"), QSize(40, 40)},
        {u"image/jpeg"_s, encoded(green, "JPEG"), QSize(40, 40)},
        {u"image/gif"_s, gif, QSize(1, 1)},
        {u"image/vnd.microsoft.icon"_s, encoded(green, "ICO"), QSize(40, 40)}};
    for (const auto &[type, bytes, size] : drags) {
        feed->setImage(QImage());
        ASSERT_FALSE(bytes.isEmpty()) << "no writer for " << type.toStdString();
        std::unique_ptr<QMimeData> data(imageData(type, bytes));
        EXPECT_TRUE(drop(view, data.get(), onTheIcon)) << type.toStdString();
        EXPECT_EQ(feed->image().size(), size) << type.toStdString();
    }
}

TEST_F(RowDropTest, theIconTakesAnImageFileAndLargeImagesAreScaledDown)
{
    DataItemView *view = row(entry(feed, u"first"_s));
    const QString path = writeFile(u"big.png"_s, encoded(filled({2000, 1000}, Qt::red), "PNG"));
    std::unique_ptr<QMimeData> data(fileData(path));
    ASSERT_TRUE(drop(view, data.get(), onTheIcon));
    EXPECT_EQ(feed->image().size(), QSize(512, 256));
}

TEST_F(RowDropTest, dropsBesideTheIconWithIconsHiddenOrOfNoImageAreRefusedAndKeepTheIcon)
{
    const QImage original = filled({20, 20}, Qt::red);
    feed->setImage(original);
    DataItemView *view = row(entry(feed, u"first"_s));
    std::unique_ptr<QMimeData> png(imageData(u"image/png"_s, encoded(green, "PNG")));

    EXPECT_FALSE(drop(view, png.get(), {150, 40}));
    EXPECT_FALSE(inDropModeWhileOver);

    std::unique_ptr<QMimeData> broken(imageData(u"image/png"_s, QByteArray("not a picture")));
    EXPECT_FALSE(drop(view, broken.get(), onTheIcon));
    std::unique_ptr<QMimeData> text(fileData(writeFile(u"notes.txt"_s, "plain words")));
    EXPECT_FALSE(drop(view, text.get(), onTheIcon));
    std::unique_ptr<QMimeData> missing(fileData(home.path() + u"/gone.png"_s));
    EXPECT_FALSE(drop(view, missing.get(), onTheIcon));

    defaults.setObject(false, SettingsKey::displayImage);
    EXPECT_FALSE(drop(view, png.get(), onTheIcon));
    EXPECT_EQ(feed->image().pixelColor(5, 5), QColor(Qt::red));
}

TEST_F(RowIconTest, resetIconInTheContextMenuForgetsTheFeedsIcon)
{
    feed->setImage(filled({20, 20}, Qt::red));
    DataItemView *view = row(entry(feed, u"first"_s));
    QContextMenuEvent event(QContextMenuEvent::Mouse, {40, 40}, view->mapToGlobal(QPoint(40, 40)));
    QCoreApplication::sendEvent(view, &event);
    auto *menu = view->findChild<QMenu *>(u"contextMenu"_s);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), u"Contextual Menu"_s);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), u"Reset Icon"_s);
    menu->actions().first()->trigger();
    EXPECT_TRUE(feed->image().isNull());
    EXPECT_FALSE(isRed(colorAt(grabbed(*view), {36, 39})));
}

// Run once as is and once more with QT_SCALE_FACTOR=2 (a separate test entry).
class RowHighDpiTest : public RowIconTest {
protected:
    static qreal ratio()
    {
        return qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                   ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                   : 1.0;
    }
};

TEST_F(RowHighDpiTest, anIconWithPixelsToSpareIsDrawnAtTheScreensResolution)
{
    // 1-pixel stripes, 65 × 70 points at a ratio of 2.
    QImage stripes(130, 140, QImage::Format_ARGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    feed->setImage(stripes);
    const QImage shown = grabbed(*row(entry(feed, u"stripes"_s)));
    ASSERT_EQ(shown.size(), QSize(rowWidth, rowHeight) * ratio());
    if (ratio() != 2.0)
        return;
    const int y = 40 * 2;
    for (int x = 4 * 2; x < 69 * 2; ++x)
        ASSERT_EQ(qRed(shown.pixel(x, y)), x % 2 ? 255 : 0) << "device pixel " << x;
}

TEST_F(RowHighDpiTest, gradientSlicesAreRenderedAtTheScreensResolutionAndJoinAcrossRows)
{
    GradientCache::shared().clear();
    defaults.setObject(90.0, SettingsKey::gradientAngle);
    setRowCount(3);
    DataItemView *lower = row(entry(feed, u"lower"_s), 1);
    DataItemView *upper = row(entry(feed, u"upper"_s), 2);
    const QImage top = grabbed(*upper);
    const QImage bottom = grabbed(*lower);
    EXPECT_EQ(top.devicePixelRatio(), ratio());
    // The upper row's last line above its separator and the lower row's first line are
    // neighbours in one gradient.
    const int x = 150 * int(ratio());
    const int lastAboveSeparator = top.height() - int(ratio()) - 1;
    EXPECT_NEAR(qAlpha(top.pixel(x, lastAboveSeparator)), qAlpha(bottom.pixel(x, 0)), 2);
    EXPECT_NE(qAlpha(top.pixel(x, 0)), qAlpha(bottom.pixel(x, 0)));
}

} // namespace
