// Painting headline rows: one row, a bar of 40 visible rows of 12 feeds (with and without the
// gradient), and re-using a row for another entry. Offscreen; run from the release preset.
#include "app/defaultsettings.h"
#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "model/source/rssdatasource.h"
#include "platform/archive.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/entrypreview.h"
#include "ticker/rows/dataitemview.h"
#include "ticker/rows/gradientcache.h"
#include "ticker/rows/rowsettings.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"

#include <QApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUuid>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

// Every heap block the process takes is counted (Qt's containers and strings call malloc
// directly, operator new goes through it too), so that a benchmark can say how many one operation
// takes. Left out under the address sanitizer, which owns malloc itself.
#if !defined(__SANITIZE_ADDRESS__)
#define VANTREL_COUNT_ALLOCATIONS 1
extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *memory, std::size_t size);

namespace {
std::atomic<qint64> allocations{0};
} // namespace

void *malloc(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

void *realloc(void *memory, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(memory, size);
}
}
#endif

namespace {

constexpr int rowWidth = 300;
constexpr int rowHeight = 62;
constexpr int visibleRows = 40;
constexpr int feedCount = 12;

class ClosedPreview : public EntryPreview {
public:
    DataItemPtr dataItem() const override { return nullptr; }
    void setDataItem(const DataItemPtr &) override {}
    void setArrowLocation(const QPoint &, bool) override {}
    void close() override {}
    void lock() override {}
    void unlock() override {}
    bool isLocked() const override { return false; }
};

class OfflineEnvironment : public RefreshEnvironment {
public:
    int numberOfSources() const override { return feedCount; }
    bool internetAvailable() const override { return false; }
    RefreshPool &refreshPool() override { return pool; }
    RefreshPool pool;
};

QString headline(QRandomGenerator &random)
{
    static const QStringList words{u"Council"_s, u"harbour"_s, u"bridge"_s, u"reopens"_s, u"after"_s,
                                   u"storm"_s,   u"energy"_s,  u"market"_s, u"Zürich"_s,  u"café"_s,
                                   u"the"_s,     u"of"_s,      u"league"_s, u"final"_s,   u"budget"_s};
    QString text;
    while (text.size() < 40 + int(random.bounded(50))) {
        if (!text.isEmpty())
            text += u' ';
        text += words.at(random.bounded(qsizetype(words.size())));
    }
    return text;
}

QImage feedIcon(int feed)
{
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(QColor::fromHsv(feed * 30, 200, 230));
    QPainter painter(&icon);
    painter.setBrush(Qt::white);
    painter.drawEllipse(16, 16, 32, 32);
    return icon;
}

// A bar: 12 feeds with their own colours and icons, 40 rows in the scroll area of a translucent
// window just tall enough to show them all, the rows' feeds in random order as dates mix them.
class Bar {
public:
    Bar()
    {
        QVariantMap registered;
        for (const auto &[key, value] : DefaultSettings::registeredDefaults())
            registered.insert(key, value);
        defaults.registerDefaults(registered);
        defaults.setObject(0.0, SettingsKey::gradientAngle);
        QVariantList configurations;
        for (int i = 0; i < feedCount; ++i) {
            const QVariantMap configuration{
                {u"uuid"_s, QUuid::createUuid().toString(QUuid::WithoutBraces)},
                {u"name"_s, u"Feed %1"_s.arg(i)},
                {u"url"_s, u"http://127.0.0.1/%1"_s.arg(i)},
                {SettingsKey::backgroundColor, Archive::archiveColor(QColor::fromHsv(i * 30, 180, 120))}};
            configurations.append(configuration);
            feeds.push_back(RSSDatasource::create(configuration, defaults, clock, environment));
        }
        defaults.setObject(configurations, SettingsKey::feeds);
        for (int i = 0; i < feedCount; ++i)
            feeds[i]->setImage(feedIcon(i));
        QRandomGenerator random(7);
        for (int i = 0; i < 4 * visibleRows; ++i) {
            auto item = std::make_shared<DataItem>();
            item->setObject(headline(random), ItemKey::title);
            item->setObject(clock.now().addSecs(-60 * i), ItemKey::parsedDate);
            feeds[random.bounded(feedCount)]->addItem(item);
            items.push_back(item);
        }
        window.setAttribute(Qt::WA_TranslucentBackground);
        window.resize(rowWidth, visibleRows * rowHeight);
        clip->resize(window.size());
        clip->setDocumentView(list);
        list->setFrameSize(window.size());
        for (int i = 0; i < visibleRows; ++i) {
            auto *row = new DataItemView(context);
            list->setSubviewFrame(row, QRect(0, i * rowHeight, rowWidth, rowHeight));
            row->setIndex(i + 1);
            row->setDataItem(items[i]);
            rows.push_back(row);
        }
        window.show();
        QCoreApplication::processEvents();
    }

    QTemporaryDir home;
    UserDefaults defaults{home.path() + u"/vantrel"_s};
    ManualClock clock{QDateTime(QDate(2024, 1, 5), QTime(12, 0), QTimeZone::utc())};
    OfflineEnvironment environment;
    RowSettings settings{defaults};
    ClosedPreview preview;
    RowContext context{
        .settings = settings, .clock = clock, .preview = preview, .openInBrowser = {}, .shareActions = {}};
    std::vector<std::shared_ptr<RSSDatasource>> feeds;
    std::vector<DataItemPtr> items;
    QWidget window;
    FlippedClipView *clip = new FlippedClipView(&window);
    ListView *list = new ListView;
    std::vector<DataItemView *> rows;
};

// Made by main, which ends it before the application object: widgets must not outlive it.
std::unique_ptr<Bar> sharedBar;

Bar &bar()
{
    if (!sharedBar)
        sharedBar = std::make_unique<Bar>();
    return *sharedBar;
}

void useGradient(bool gradient)
{
    bar().defaults.setObject(gradient ? 0.0 : -1.0, SettingsKey::gradientAngle);
    GradientCache::shared().clear();
    GradientCache::shared().resetStatistics();
}

// One row with its title, source line, icon and gradient slice painted into the window.
void BM_PaintOneRow(benchmark::State &state)
{
    useGradient(true);
    DataItemView *row = bar().rows.at(visibleRows / 2);
    row->repaint();
    for (auto _ : state)
        row->repaint();
}
BENCHMARK(BM_PaintOneRow)->Unit(benchmark::kMicrosecond);

void repaintBar(benchmark::State &state, bool gradient)
{
    useGradient(gradient);
    bar().window.repaint();
    for (auto _ : state)
        bar().window.repaint();
    const GradientCache::Statistics statistics = GradientCache::shared().statistics();
    const double lookups = double(statistics.hits + statistics.misses + statistics.uncached);
    state.counters["gradient_hit_rate"] = lookups > 0 ? double(statistics.hits) / lookups : 0.0;
    state.counters["gradients_made_per_repaint"] = double(statistics.misses) / double(state.iterations() + 1);
    state.counters["uncached_slices_per_repaint"] =
        double(statistics.uncached) / double(state.iterations() + 1);
}

void BM_Repaint40RowsOf12FeedsWithGradient(benchmark::State &state)
{
    repaintBar(state, true);
}
BENCHMARK(BM_Repaint40RowsOf12FeedsWithGradient)->Unit(benchmark::kMillisecond);

void BM_Repaint40RowsOf12FeedsPlain(benchmark::State &state)
{
    repaintBar(state, false);
}
BENCHMARK(BM_Repaint40RowsOf12FeedsPlain)->Unit(benchmark::kMillisecond);

// A row shown for another entry, and then painted (the texts are laid out at the paint).
void BM_SetDataItemReuse(benchmark::State &state)
{
    useGradient(false);
    DataItemView *row = bar().rows.front();
    const std::vector<DataItemPtr> &items = bar().items;
    const bool paint = state.range(0) != 0;
    std::size_t next = 0;
    [[maybe_unused]] qint64 counted = 0;
    for (auto _ : state) {
#ifdef VANTREL_COUNT_ALLOCATIONS
        const qint64 before = allocations.load(std::memory_order_relaxed);
#endif
        row->setDataItem(items[next]);
        if (paint)
            row->repaint();
#ifdef VANTREL_COUNT_ALLOCATIONS
        counted += allocations.load(std::memory_order_relaxed) - before;
#endif
        next = (next + 1) % items.size();
    }
#ifdef VANTREL_COUNT_ALLOCATIONS
    state.counters["allocations"] = benchmark::Counter(double(counted), benchmark::Counter::kAvgIterations);
#endif
}
BENCHMARK(BM_SetDataItemReuse)->Arg(0)->Arg(1)->ArgNames({"paint"})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + u"/config"_s).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + u"/cache"_s).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sharedBar.reset();
    return 0;
}
