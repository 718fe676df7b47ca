#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QSize>

#include <vector>

// Window-sized gradient images, one per row colour, from which every row copies the slice that
// lies behind it: all rows together show one continuous gradient, and each colour's gradient is
// drawn once per window size and angle. Holds at most 11 colours. A colour that finds it full is
// not cached: emptying the cache for it would make a bar of twelve feeds draw most of its
// window-sized gradients again on every repaint. Main thread only.
class GradientCache {
public:
    static constexpr int maximumColors = 11;

    // The one cache of the process, shared by every row.
    static GradientCache &shared();

    // The gradient for `color`, from the colour at alpha `opacity` to the colour at alpha 0 at
    // `angle` degrees over a window of `contentSize`, rendered at `devicePixelRatio`; nullptr when
    // the colour is not cached and the cache is full. When the size, the ratio or the angle
    // differ from what the cache holds, it is emptied first.
    const QImage *image(const QColor &color, double opacity, float angle, const QSize &contentSize,
                        qreal devicePixelRatio);

    // The gradient itself, in the window's coordinates, for drawing without the cache.
    static QLinearGradient gradient(const QColor &color, double opacity, float angle,
                                    const QSize &contentSize);

    int count() const { return int(m_entries.size()); }
    void clear();

    // Lookups answered from the cache, images made, and lookups left unanswered as the cache was
    // full, since the last reset.
    struct Statistics {
        qint64 hits = 0;
        qint64 misses = 0;
        qint64 uncached = 0;
    };
    Statistics statistics() const { return m_statistics; }
    void resetStatistics() { m_statistics = {}; }

private:
    struct Entry {
        QRgba64 color;
        double opacity;
        QImage image;
    };

    static QImage render(const QColor &color, double opacity, float angle, const QSize &contentSize,
                         qreal devicePixelRatio);

    std::vector<Entry> m_entries;
    QSize m_contentSize;
    qreal m_devicePixelRatio = 0;
    float m_angle = 0;
    Statistics m_statistics;
};
