#include "rowfixture.h"

#include "ticker/rows/gradientcache.h"

using namespace Qt::StringLiterals;

namespace {

// Rows of twelve feeds, each its own colour, under a gradient from left to right.
class RowGradientTest : public RowFixture {
protected:
    RowGradientTest()
    {
        GradientCache::shared().clear();
        GradientCache::shared().resetStatistics();
        defaults.setObject(0.0, SettingsKey::gradientAngle);
        window.resize(rowWidth, 12 * rowHeight);
        clip->resize(window.size());
        setRowCount(12);
        for (int i = 0; i < 12; ++i) {
            const auto feed =
                addFeed(u"Feed %1"_s.arg(i), {{u"backgroundColor"_s, QColor::fromHsv(i * 30, 200, 150)}});
            rows.append(row(entry(feed, u"Headline"_s), 1 + i));
        }
    }

    void paintAll()
    {
        for (DataItemView *view : std::as_const(rows))
            view->repaint();
    }

    QList<DataItemView *> rows;
};

TEST_F(RowGradientTest, aTwelfthColourIsDrawnWithoutEmptyingTheCacheAndLooksTheSame)
{
    paintAll();
    GradientCache &cache = GradientCache::shared();
    EXPECT_EQ(cache.count(), GradientCache::maximumColors);
    cache.resetStatistics();
    paintAll();
    EXPECT_EQ(cache.statistics().misses, 0);
    EXPECT_EQ(cache.statistics().hits, 11);
    EXPECT_EQ(cache.statistics().uncached, 1);

    // The twelfth row looks as it does with its colour cached.
    DataItemView *twelfth = rows.last();
    const QImage drawnDirectly = grabbed(*twelfth);
    cache.clear();
    twelfth->repaint();
    ASSERT_EQ(cache.count(), 1);
    const QImage fromTheCache = grabbed(*twelfth);
    ASSERT_EQ(drawnDirectly.size(), fromTheCache.size());
    int worst = 0;
    for (int y = 0; y < rowHeight - 1; ++y)
        for (int x = 75; x < rowWidth; x += 7)
            worst = std::max(worst,
                             std::abs(qAlpha(drawnDirectly.pixel(x, y)) - qAlpha(fromTheCache.pixel(x, y))));
    EXPECT_LE(worst, 2);
    // And the gradient runs across it: opaque at the left, fading out to the right.
    EXPECT_GT(qAlpha(fromTheCache.pixel(75, 2)), qAlpha(fromTheCache.pixel(rowWidth - 5, 2)) + 100);
}

TEST_F(RowGradientTest, aNewWindowSizeOrAngleRendersTheGradientsAnew)
{
    paintAll();
    GradientCache &cache = GradientCache::shared();
    cache.resetStatistics();
    defaults.setObject(90.0, SettingsKey::gradientAngle);
    paintAll();
    EXPECT_EQ(cache.statistics().misses, 11);
    cache.resetStatistics();
    window.resize(rowWidth, 12 * rowHeight + 20);
    paintAll();
    EXPECT_EQ(cache.statistics().misses, 11);
}

} // namespace
