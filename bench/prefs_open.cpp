// The preferences window over 1,000 feeds: opening it on the feeds pane, a keystroke in the
// general limit field (applied to every feed), and one feed's status change against a reload of
// the whole table.
#include "managerbenchdata.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/itemfile.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/freedesktopnotifications.h"
#include "platform/desktop/xdgautostart.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/manualclock.h"
#include "platform/network/reachability.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "prefs/feedtablemodel.h"
#include "prefs/preferencescontroller.h"
#include "prefs/rsspreferencescontroller.h"
#include "services/loginitems/loginitemregistry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int feedCount = 1000;
constexpr int entriesPerFeed = 20;

struct World {
    World()
        : defaults(ManagerBenchData::temporaryHome().path() + u"/config/vantrel"_s), reachability(defaults)
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 30},
                                   {SettingsKey::limit, 500},
                                   {SettingsKey::refreshRate, 30},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::backgroundColor, QColor(Qt::black)},
                                   {SettingsKey::fontColor, QColor(Qt::white)},
                                   {SettingsKey::keywords, QVariantList()}});
        QRandomGenerator random(7);
        QVariantList feeds;
        for (int feed = 0; feed < feedCount; ++feed) {
            const QString uuid = u"FEED-%1"_s.arg(feed);
            QList<DataItemPtr> entries;
            for (int index = 0; index < entriesPerFeed; ++index)
                entries.append(ManagerBenchData::entry(random, feed, index));
            if (!ItemFile(uuid).save(entries))
                qFatal("cannot write an item file");
            feeds.append(QVariantMap{{u"uuid"_s, uuid},
                                     {u"name"_s, u"Feed %1"_s.arg(feed)},
                                     {u"url"_s, u"http://127.0.0.1:9/%1.xml"_s.arg(feed)},
                                     {u"enabled"_s, true}});
        }
        defaults.setObject(feeds, SettingsKey::feeds);
        DatasourceManager::Options options;
        options.startTimers = false;
        manager = std::make_unique<DatasourceManager>(defaults, clock, reachability, options);
    }
    PreferencesServices services()
    {
        return PreferencesServices{defaults, *manager,   player,
                                   handlers, loginItems, notifications,
                                   nullptr,  QString(),  u"org.vantrel.Vantrel.desktop"_s};
    }
    UserDefaults defaults;
    ManualClock clock{QDateTime::fromSecsSinceEpoch(ManagerBenchData::now, Qt::UTC)};
    Reachability reachability;
    std::unique_ptr<DatasourceManager> manager;
    CanberraSoundPlayer player{ManagerBenchData::temporaryHome().path() + u"/sounds"_s};
    XdgUrlSchemeHandlers handlers;
    XdgAutostart autostart;
    LoginItemRegistry loginItems{autostart};
    FreedesktopNotifications notifications{QDBusConnection(u"no-bus"_s)};
};

World &world()
{
    static World *instance = new World;
    return *instance;
}

void BM_OpenOnTheFeedsPane(benchmark::State &state)
{
    World &data = world();
    for (auto _ : state) {
        auto window = std::make_unique<PreferencesController>(data.services());
        window->showPane(PreferencesController::FeedsTag);
        window->show();
        QCoreApplication::processEvents();
        if (window->rssPreferencesController()->tableModel().rowCount() != feedCount)
            state.SkipWithError("not every feed listed");
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenOnTheFeedsPane)->Unit(benchmark::kMillisecond);

void typeKey(QWidget *field, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(field, &release);
}

// One keystroke stores the limit and reloads the limits of every feed.
void BM_LimitKeystroke(benchmark::State &state)
{
    World &data = world();
    // Each run starts from the same limit, whatever the run before left.
    data.defaults.setObject(500, SettingsKey::limit);
    PreferencesController window(data.services());
    window.show();
    QCoreApplication::processEvents();
    auto *limit = window.findChild<QLineEdit *>(u"limitTextField"_s);
    limit->setFocus();
    limit->end(false);
    bool typing = true;
    for (auto _ : state) {
        if (typing)
            typeKey(limit, Qt::Key_5, u"5"_s);
        else
            typeKey(limit, Qt::Key_Backspace, QString());
        typing = !typing;
    }
    if (data.defaults.integerForKey(SettingsKey::limit) != (typing ? 500 : 5005))
        state.SkipWithError("the limit was not stored");
}
BENCHMARK(BM_LimitKeystroke)->Unit(benchmark::kMillisecond);

// A status change of one feed, from the change to the repainted table, against a reload of all.
void BM_StatusChange(benchmark::State &state)
{
    const bool wholeTable = state.range(0) == 1;
    World &data = world();
    PreferencesController window(data.services());
    window.showPane(PreferencesController::FeedsTag);
    window.show();
    QCoreApplication::processEvents();
    FeedTableModel &model = window.rssPreferencesController()->tableModel();
    model.setReloadDelay(0);
    int round = 0;
    const std::shared_ptr<Datasource> source = data.manager->datasources().at(1);
    for (auto _ : state) {
        if (wholeTable) {
            model.reload();
        } else {
            source->setErrorString(u"Error %1"_s.arg(++round));
            QCoreApplication::processEvents(); // the queued report starts the reload timer
            QCoreApplication::processEvents(); // which runs the reload
        }
        // Paints what the change marked dirty: one row, or the whole table after a reload.
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StatusChange)->Arg(0)->Arg(1)->ArgNames({"whole_table"})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    ManagerBenchData::temporaryHome();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    world();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    world().manager->close();
    return 0;
}
