#include "rowfixture.h"

#include "ticker/rows/gradientcache.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

// Reference renders of a row. Run with VANTREL_UPDATE_GOLDEN=1 to write them anew (the column of
// rows also to docs/rows.png); look at every changed image before committing it.
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

TEST_F(RowGoldenTest, plainMarkedAndReadRows)
{
    check(u"row-plain"_s, render(u"Council reopens the harbour bridge after repairs"_s));
    defaults.setObject(QColor(120, 20, 20), SettingsKey::markBackgroundColor);
    check(u"row-marked"_s, render(title, [](DataItem &item) { item.setObject(true, ItemKey::mark); }));
    check(u"row-read"_s, render(u"Council reopens the harbour bridge after repairs"_s,
                                [](DataItem &item) { item.setRead(true); }));
}

TEST_F(RowGoldenTest, smallIconAndGradientRows)
{
    defaults.setObject(true, SettingsKey::smallImage);
    check(u"row-small-icon"_s, render(u"Council reopens the harbour bridge after repairs"_s));
    defaults.setObject(false, SettingsKey::smallImage);
    defaults.setObject(0.0, SettingsKey::gradientAngle);
    check(u"row-gradient"_s, render(u"Council reopens the harbour bridge after repairs"_s));
}

// Every kind of row in one column over a dark desktop: plain, marked, read, hovered with its star
// and share buttons, starred, with small icons, without icons, and under a gradient.
TEST_F(RowGoldenTest, aColumnOfEveryKindOfRow)
{
    defaults.setObject(QColor(120, 20, 20), SettingsKey::markBackgroundColor);
    const auto harbour = addFeed(u"Harbour Watch"_s, {{u"backgroundColor"_s, QColor(20, 110, 90)}});
    const auto bare = addFeed(u"Evening Post"_s);
    const auto shot = [&](const std::shared_ptr<TestSource> &feed, const QString &text,
                          const std::function<void(DataItemView *)> &pose = {}) {
        DataItemView *view = row(entry(feed, text));
        if (pose)
            pose(view);
        animations.advanceBy(1000);
        QImage image = grabbed(*view);
        delete view;
        return image;
    };
    const auto setting = [&](const QString &key, const QVariant &value) { defaults.setObject(value, key); };

    QList<QImage> shots;
    shots.append(shot(city, u"Council reopens the harbour bridge after repairs"_s));
    shots.append(
        shot(city, u"Storm warning for the coast as winds pick up tonight"_s, [](DataItemView *view) {
            view->dataItem()->setObject(true, ItemKey::mark);
            view->setDataItem(view->dataItem());
        }));
    shots.append(
        shot(harbour, u"Library extends its opening hours over the holidays"_s, [](DataItemView *view) {
            view->dataItem()->setRead(true);
            view->followReadState();
        }));
    shots.append(shot(harbour, u"Ferry timetable changes from Monday"_s, [](DataItemView *view) {
        QMouseEvent move(QEvent::MouseMove, QPointF(150, 20), view->mapToGlobal(QPointF(150, 20)),
                         Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(view, &move);
    }));
    shots.append(shot(bare, u"Festival &amp; market draw record crowds"_s, [this](DataItemView *view) {
        stars.starItem(view->dataItem());
        deliverNotifications();
    }));
    setting(SettingsKey::smallImage, true);
    shots.append(shot(city, u"Council reopens the harbour bridge after repairs"_s));
    setting(SettingsKey::smallImage, false);
    setting(SettingsKey::displayImage, false);
    shots.append(shot(harbour, u"Tram line closed for a week of track works"_s));
    setting(SettingsKey::displayImage, true);
    setting(SettingsKey::gradientAngle, 0.0);
    shots.append(shot(city, u"Museum opens a new wing for modern art"_s));

    QImage column(rowWidth, rowHeight * int(shots.size()), QImage::Format_ARGB32);
    column.fill(QColor(40, 40, 40));
    QPainter painter(&column);
    for (int i = 0; i < shots.size(); ++i)
        painter.drawImage(QPoint(0, i * rowHeight), shots.at(i));
    painter.end();
    check(u"rows-column"_s, column);
    if (updating()) {
        ASSERT_TRUE(column.save(sourceDir() + u"/docs/rows.png"_s));
    }
}

} // namespace
