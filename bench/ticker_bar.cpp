// The bar's main-thread work over 100,000 listed entries (1,000 feeds of 100), offscreen: a tick
// with nothing new, a rebuild with nothing changed, a tick that brings one entry in with the
// rebuild after it, scrolls within one row range and across one row, and a slide-in animated in
// real time (frames per second). Each reports the main thread's own CPU time (main_cpu_us) beside
// the wall time (wall_us) per iteration: merges run on their worker at the same time and are not
// the main thread's.
#include "managerbenchdata.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/stars/starmanager.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/desktop/soundplayer.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/notifications/notificationmanager.h"
#include "services/sharing/sharemanager.h"
#include "ticker/bar/listflow.h"
#include "ticker/bar/mainwindowcontroller.h"
#include "ticker/bar/rsswindow.h"
#include "ticker/rows/rowsettings.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"

#include <QApplication>
#include <QDBusConnection>
#include <QScreen>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr int feedCount = 1000;
constexpr int entriesPerFeed = 100;
constexpr int rowHeight = 78;

class Unreachable : public Reachability {
public:
    using Reachability::Reachability;
    bool isReachable() const override { return false; }
};

class Silence : public SoundPlayer {
public:
    QStringList soundNames() const override { return {}; }
    void play(const QString &) override {}
    void beep() override {}
};

struct World {
    World()
        : defaults(ManagerBenchData::temporaryHome().path() + u"/config/vantrel"_s),
          clock(QDateTime::fromSecsSinceEpoch(ManagerBenchData::now, Qt::UTC)), reachability(defaults),
          notificationBus(QDBusConnection::sessionBus()), browser(defaults, handlers, sounds),
          sharing(browser), notifications(defaults, notificationBus, browser), rowSettings(defaults)
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 30},
                                   {SettingsKey::limit, 0},
                                   {SettingsKey::refreshRate, 30},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::itemHeight, rowHeight},
                                   {SettingsKey::fontSize, 12},
                                   {SettingsKey::imageWidth, 65},
                                   {SettingsKey::displayImage, true},
                                   {SettingsKey::opacity, 0.75},
                                   {SettingsKey::gradientAngle, -1.0},
                                   {SettingsKey::fontName, u"DejaVu Sans"_s},
                                   {SettingsKey::scrollToTopInterval, 120},
                                   {SettingsKey::notificationCenterLevel, 0},
                                   {SettingsKey::location, 1},
                                   {SettingsKey::reduceMotion, true}});
        QVariantList feeds;
        for (int feed = 0; feed < feedCount; ++feed)
            feeds.append(QVariantMap{{u"uuid"_s, u"FEED-%1"_s.arg(feed)},
                                     {u"name"_s, u"Feed number %1"_s.arg(feed)},
                                     {u"url"_s, u"http://127.0.0.1:9/%1.xml"_s.arg(feed)},
                                     {u"enabled"_s, true}});
        defaults.setObject(feeds, SettingsKey::feeds);
        DatasourceManager::Options options;
        options.startTimers = false;
        manager = std::make_unique<DatasourceManager>(defaults, clock, reachability, options);
        QRandomGenerator filling(7);
        const auto sources = manager->datasources();
        for (int feed = 0; feed < feedCount; ++feed) {
            for (int index = entriesPerFeed - 1; index >= 0; --index)
                sources.at(feed)->addItem(ManagerBenchData::entry(filling, feed, index));
        }
        manager->mergeSync();
        stars = std::make_unique<StarManager>(defaults, manager.get());
        preview = std::make_unique<VTPreviewWindowController>(defaults, browser, sharing, sounds);
        RowContext rows{.settings = rowSettings,
                        .clock = clock,
                        .preview = *preview,
                        .stars = stars.get(),
                        .openInBrowser = {},
                        .shareActions = {}};
        bar = std::make_unique<MainWindowController>(
            MainWindowController::Collaborators{.defaults = defaults,
                                                .clock = clock,
                                                .manager = *manager,
                                                .stars = stars.get(),
                                                .preview = *preview,
                                                .sounds = sounds,
                                                .notifications = notifications,
                                                .rows = rows,
                                                .startTimers = false});
        bar->showWindow();
        flow().rebuildViews();
        QCoreApplication::processEvents();
        if (flow().items().count() != feedCount * entriesPerFeed)
            qFatal("expected %d listed entries, got %d", feedCount * entriesPerFeed, flow().items().count());
    }
    ListFlow &flow() const { return bar->listFlow(); }

    // An entry filed as a refresh after the first files it: queued for the bar.
    void arrive()
    {
        auto item = ManagerBenchData::entry(random, 0, 0);
        item->setObject(u"arrival %1"_s.arg(++arrivals), ItemKey::guid);
        const std::shared_ptr<Datasource> source = manager->datasources().constFirst();
        source->setInsertMode(true);
        source->addItem(item);
        source->setInsertMode(false);
    }

    // Ends the gap after the last arrival, then queues one and waits for the merge it causes.
    void queueArrivalAfterTheGap()
    {
        clock.advance(3100);
        flow().timer();
        arrive();
        manager->mergeSync();
    }

    UserDefaults defaults;
    ManualClock clock;
    Unreachable reachability;
    Silence sounds;
    FreedesktopNotifications notificationBus;
    XdgUrlSchemeHandlers handlers;
    BrowserSupport browser;
    ShareManager sharing;
    NotificationManager notifications;
    RowSettings rowSettings;
    std::unique_ptr<DatasourceManager> manager;
    std::unique_ptr<StarManager> stars;
    std::unique_ptr<VTPreviewWindowController> preview;
    std::unique_ptr<MainWindowController> bar;
    QRandomGenerator random{11};
    int arrivals = 0;
};

// Adds up the calling thread's CPU time and the wall time between start() and stop().
class MainThreadTime {
public:
    void start()
    {
        m_cpuStart = threadCpuNanoseconds();
        m_wallStart = std::chrono::steady_clock::now();
    }
    void stop()
    {
        m_cpu += threadCpuNanoseconds() - m_cpuStart;
        m_wall +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - m_wallStart).count();
    }
    double cpuMilliseconds() const { return m_cpu / 1e6; }
    // Microseconds per iteration.
    void report(benchmark::State &state) const
    {
        state.counters["main_cpu_us"] =
            benchmark::Counter(m_cpu / 1000.0, benchmark::Counter::kAvgIterations);
        state.counters["wall_us"] = benchmark::Counter(m_wall / 1000.0, benchmark::Counter::kAvgIterations);
    }

private:
    static double threadCpuNanoseconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
    }

    double m_cpuStart = 0;
    std::chrono::steady_clock::time_point m_wallStart;
    double m_cpu = 0;
    double m_wall = 0;
};

World &world()
{
    static World *instance = new World;
    return *instance;
}

void BM_TickWithNothingNew(benchmark::State &state)
{
    ListFlow &flow = world().flow();
    world().clock.advance(10000);
    flow.timer(); // ends any gap
    MainThreadTime time;
    time.start();
    for (auto _ : state)
        flow.timer();
    time.stop();
    time.report(state);
}
BENCHMARK(BM_TickWithNothingNew)->Unit(benchmark::kMicrosecond);

void BM_RebuildWithNothingChanged(benchmark::State &state)
{
    ListFlow &flow = world().flow();
    flow.rebuildViews();
    MainThreadTime time;
    time.start();
    for (auto _ : state)
        flow.rebuildViews();
    time.stop();
    time.report(state);
}
BENCHMARK(BM_RebuildWithNothingChanged)->Unit(benchmark::kMicrosecond);

// The arrival is filed, and the gap of the one before ended, outside the measurement. The merge
// that follows runs on the merge worker and is waited for outside it too.
void BM_TickBringingOneInAndRebuild(benchmark::State &state)
{
    World &w = world();
    MainThreadTime time;
    for (auto _ : state) {
        state.PauseTiming();
        w.queueArrivalAfterTheGap();
        state.ResumeTiming();
        time.start();
        w.flow().timer();
        w.flow().rebuildViews();
        time.stop();
    }
    time.report(state);
}
BENCHMARK(BM_TickBringingOneInAndRebuild)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_ScrollWithinTheRowRange(benchmark::State &state)
{
    FlippedClipView &scroll = *world().bar->scrollView();
    scroll.scrollToPoint(QPoint(0, 100 * rowHeight + 10));
    world().flow().rebuildViews(true);
    int step = 0;
    MainThreadTime time;
    time.start();
    for (auto _ : state)
        scroll.scrollToPoint(QPoint(0, 100 * rowHeight + 10 + (++step % 2)));
    time.stop();
    time.report(state);
}
BENCHMARK(BM_ScrollWithinTheRowRange)->Unit(benchmark::kMicrosecond);

void BM_ScrollByOneRow(benchmark::State &state)
{
    FlippedClipView &scroll = *world().bar->scrollView();
    scroll.scrollToPoint(QPoint(0, 200 * rowHeight));
    int step = 0;
    MainThreadTime time;
    time.start();
    for (auto _ : state)
        scroll.scrollToPoint(QPoint(0, (200 + (++step % 2)) * rowHeight));
    time.stop();
    time.report(state);
}
BENCHMARK(BM_ScrollByOneRow)->Unit(benchmark::kMicrosecond);

// Counts the frames the bar's window paints: one update request per repaint of its backing store.
class FrameCounter : public QObject {
public:
    int frames = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            ++frames;
        return QObject::eventFilter(watched, event);
    }
};

// A headline sliding in at the top, animated in real time, with 40 rows in view: the rows take a
// fortieth of the screen's height (on a screen 3200 high, 80 pixels: the slide then has as many
// pixels to move as a second has frames). Reports the frames painted per second of the animation
// and the main thread's time per frame. Runs last: it changes the row height. Meant for an X
// display (QT_QPA_PLATFORM=xcb under Xvfb -screen 0 1280x3200x24); offscreen it measures the
// painting without a server.
void BM_SlideIn(benchmark::State &state)
{
    World &w = world();
    w.defaults.setObject(false, SettingsKey::reduceMotion);
    const int screenHeight = w.bar->window()->screen()->availableGeometry().height();
    w.defaults.setObject(screenHeight / 40, SettingsKey::itemHeight);
    w.bar->scrollView()->scrollToPoint(QPoint(0, 0));
    w.flow().rebuildViews();
    QCoreApplication::processEvents();
    FrameCounter counter;
    w.bar->window()->installEventFilter(&counter);
    MainThreadTime time;
    double animationSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.queueArrivalAfterTheGap();
        QCoreApplication::processEvents();
        counter.frames = 0;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        time.start();
        w.flow().timer();
        while (w.flow().listView().isAnimating())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        time.stop();
        animationSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["fps"] = benchmark::Counter(counter.frames / animationSeconds);
        state.counters["frames"] = benchmark::Counter(counter.frames);
        state.counters["main_ms_per_frame"] =
            benchmark::Counter(counter.frames > 0 ? time.cpuMilliseconds() / counter.frames : 0);
        time = MainThreadTime();
    }
    w.bar->window()->removeEventFilter(&counter);
}
BENCHMARK(BM_SlideIn)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    world();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
