#include "rowfixture.h"

#include "ticker/rows/gradientcache.h"

#include <QDir>
#include <QPainter>

using namespace Qt::StringLiterals;

// Reference renders of a row. Run with VANTREL_UPDATE_GOLDEN=1 to write them anew (and the
// column of rows in docs/rows.png); look at every changed image before committing it.
namespace {

QString sourceDir()
{
    return qEnvironmentVariable("VANTREL_SOURCE_DIR", QStringLiteral(VANTREL_TEST_SOURCE_DIR));
}

bool updating()
{
    return qEnvironmentVariableIsSet("VANTREL_UPDATE_GOLDEN");
}

// The share of pixels where a channel differs by more than 24 of 255: anti-aliasing and text
// rendering may move a little, a changed colour, layout or icon does not stay under 1 %.
double differingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 1.0;
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int delta = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            differing += delta > 24;
        }
    }
    return double(differing) / double(a.width() * a.height());
}

class RowGoldenTest : public RowFixture {
protected:
    RowGoldenTest()
    {
        GradientCache::shared().clear();
        city = addFeed(u"City Desk"_s, {{u"backgroundColor"_s, QColor(30, 70, 140)}});
        QImage icon(48, 48, QImage::Format_ARGB32);
        icon.fill(QColor(220, 90, 40));
        QPainter painter(&icon);
        painter.fillRect(12, 12, 24, 24, Qt::white);
        painter.end();
        city->setImage(icon);
    }

    QImage render(const QString &title, const std::function<void(DataItem &)> &prepare = {})
    {
        const DataItemPtr item = entry(city, title);
        if (prepare)
            prepare(*item);
        DataItemView *view = row(item);
        animations.advanceBy(1000);
        QImage image = grabbed(*view);
        delete view;
        return image;
    }

    void check(const QString &name, const QImage &image)
    {
        const QString path = sourceDir() + u"/tests/ticker/golden/"_s + name + u".png"_s;
        if (updating()) {
            ASSERT_TRUE(image.save(path)) << path.toStdString();
            return;
        }
        const QImage golden = QImage(path).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(golden.isNull()) << "no reference image " << path.toStdString();
        EXPECT_LT(differingShare(image.convertToFormat(QImage::Format_ARGB32), golden), 0.01)
            << name.toStdString();
    }

    std::shared_ptr<TestSource> city;
};

const QString title = u"Storm closes the harbour bridge as the city council meets tonight"_s;

TEST_F(RowGoldenTest, PlainMarkedAndReadRows)
{
    check(u"row-plain"_s, render(u"Council reopens the harbour bridge after repairs"_s));
    defaults.setObject(QColor(120, 20, 20), SettingsKey::markBackgroundColor);
    check(u"row-marked"_s, render(title, [](DataItem &item) { item.setObject(true, ItemKey::mark); }));
    check(u"row-read"_s, render(u"Council reopens the harbour bridge after repairs"_s,
                                [](DataItem &item) { item.setRead(true); }));
}

TEST_F(RowGoldenTest, SmallIconAndGradientRows)
{
    defaults.setObject(true, SettingsKey::smallImage);
    check(u"row-small-icon"_s, render(u"Council reopens the harbour bridge after repairs"_s));
    defaults.setObject(false, SettingsKey::smallImage);
    defaults.setObject(0.0, SettingsKey::gradientAngle);
    check(u"row-gradient"_s, render(u"Council reopens the harbour bridge after repairs"_s));
}

} // namespace
