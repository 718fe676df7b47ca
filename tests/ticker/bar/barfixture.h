#pragma once

#include "common/fakenotificationserver.h"
#include "common/privatebus.h"
#include "common/steppinganimationdriver.h"
#include "common/waitfor.h"
#include "common/xdgsandbox.h"
#include "model/entry/itemkeys.h"
#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/source/itemfile.h"
#include "model/stars/starmanager.h"
#include "platform/archive.h"
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
#include "ticker/bar/rowrecycler.h"
#include "ticker/bar/rsswindow.h"
#include "ticker/rows/dataitemview.h"
#include "ticker/rows/rowsettings.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"

#include <QColor>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The sounds the bar asked for, in order; nothing is played.
class RecordedSounds : public SoundPlayer {
public:
    QStringList soundNames() const override { return {}; }
    void play(const QString &name) override { played.append(name); }
    void beep() override { played.append(QStringLiteral("beep")); }
    QStringList played;
};

// The bar on a manager in a temporary home, the real preview, notifications over a private bus
// to a server in the test, a stopped clock and stepped animations. The bar is 250 × 600 on the
// offscreen screen, rows 50 high; the ticks run when the test calls them, or on the bar's own
// timer with `ticking`.
class BarFixture : public ::testing::Test {
public:
    static constexpr qint64 now = 1780000000; // a Thursday, 20:26 UTC
    static constexpr int rowHeight = 50;

protected:
    BarFixture()
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 0},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()},
                                   {SettingsKey::reachabilityHost, QStringLiteral("127.0.0.1")},
                                   {SettingsKey::itemHeight, rowHeight},
                                   {SettingsKey::imageWidth, 65},
                                   {SettingsKey::fontSize, 12},
                                   {SettingsKey::opacity, 0.75},
                                   {SettingsKey::gradientAngle, -1.0},
                                   {SettingsKey::backgroundColor, Archive::archiveColor(QColor(0, 0, 0))},
                                   {SettingsKey::fontColor, Archive::archiveColor(QColor(255, 255, 255))},
                                   {SettingsKey::fontName, QStringLiteral("DejaVu Sans")},
                                   {SettingsKey::displayImage, false},
                                   {SettingsKey::enablePreview, true},
                                   {SettingsKey::scrollToTopInterval, 120},
                                   {SettingsKey::notificationCenterLevel, 1},
                                   {SettingsKey::location, 1},
                                   {SettingsKey::alwaysOnTop, false},
                                   {SettingsKey::autoHide, false},
                                   {SettingsKey::reduceMotion, false}});
        defaults.setObject(QStringLiteral("Submarine"), SettingsKey::soundName);
    }

    ~BarFixture() override
    {
        bar.reset();
        preview.reset();
        if (manager)
            manager->close();
    }

    static DataItemPtr entry(const QString &title, qint64 minutesAgo = 0, bool marked = false)
    {
        auto item = std::make_shared<DataItem>();
        item->setObject(title, ItemKey::title);
        item->setObject(title, ItemKey::guid);
        item->setObject(QString(QStringLiteral("https://example.org/") + QString::number(qHash(title))),
                        ItemKey::link);
        item->setObject(QDateTime::fromSecsSinceEpoch(now - minutesAgo * 60, Qt::UTC), ItemKey::parsedDate);
        if (marked)
            item->setObject(true, ItemKey::mark);
        return item;
    }

    // One feed holding `count` stored entries ("stored 0" the newest), and the bar on it.
    void startBar(int count, int width = 250)
    {
        QList<DataItemPtr> stored;
        for (int i = 0; i < count; ++i)
            stored.append(entry(QStringLiteral("stored %1").arg(i), i + 1));
        const QVariantMap feed{{QStringLiteral("uuid"), QStringLiteral("FEED-1")},
                               {QStringLiteral("name"), QStringLiteral("Feed")},
                               {QStringLiteral("url"), QStringLiteral("http://127.0.0.1:9/feed.xml")},
                               {QStringLiteral("enabled"), true}};
        defaults.setObject(QVariantList{feed}, SettingsKey::feeds);
        EXPECT_TRUE(ItemFile(QStringLiteral("FEED-1")).save(stored));
        DatasourceManager::Options options;
        options.startTimers = false;
        options.saveDelayMs = 0;
        manager = std::make_unique<DatasourceManager>(defaults, clock, reachability, options);
        manager->mergeSync();
        stars = std::make_unique<StarManager>(defaults, manager.get());
        VTPreviewWindowController::Options previewOptions;
        previewOptions.fadeDurationMs = 0;
        preview =
            std::make_unique<VTPreviewWindowController>(defaults, browser, sharing, sounds, previewOptions);
        RowContext rows{.settings = rowSettings,
                        .clock = clock,
                        .preview = *preview,
                        .stars = stars.get(),
                        .openInBrowser = [this](const DataItem &item) { opened.append(item.title()); },
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
                                                .startTimers = ticking});
        bar->window()->resize(width, 600);
        bar->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(bar->window()));
        flow().rebuildViews();
        animations.advanceInFrames(1000); // the first rows fade in
    }

    ListFlow &flow() const { return bar->listFlow(); }
    ListView &list() const { return flow().listView(); }
    FlippedClipView &scrollView() const { return *bar->scrollView(); }

    // Files an entry as a refresh after the first does: at the top of the feed, queued.
    DataItemPtr arrive(const QString &title, bool marked = false)
    {
        auto item = entry(title, 0, marked);
        const std::shared_ptr<Datasource> source = manager->datasources().constFirst();
        source->setInsertMode(true);
        source->addItem(item);
        source->setInsertMode(false);
        return item;
    }

    // Ticks once after `ms` milliseconds of the stopped clock.
    void tickAfter(qint64 ms)
    {
        clock.advance(ms);
        flow().timer();
    }

    // The row views of the shown list, top row first.
    QList<DataItemView *> rows() const
    {
        QList<DataItemView *> views = RowRecycler::rows(list());
        std::sort(views.begin(), views.end(), [](auto *a, auto *b) { return a->index() > b->index(); });
        return views;
    }
    DataItemView *rowOf(const DataItemPtr &item) const
    {
        for (DataItemView *row : rows())
            if (row->dataItem() == item)
                return row;
        return nullptr;
    }
    DataItemView *rowTitled(const QString &title) const
    {
        for (DataItemView *row : rows())
            if (row->dataItem()->title() == title)
                return row;
        return nullptr;
    }
    // The title of the row at the top of the scroll view's visible part.
    QString titleAtTop() const
    {
        const QPoint top = list().mapFrom(scrollView().viewport(), QPoint(10, 2));
        for (DataItemView *row : rows())
            if (row->geometry().contains(top))
                return row->dataItem()->title();
        return {};
    }

    SteppingAnimationDriver animations;
    XdgSandbox sandbox;
    UserDefaults defaults{sandbox.configHome() + QStringLiteral("/vantrel")};
    ManualClock clock{QDateTime::fromSecsSinceEpoch(now, Qt::UTC)};
    Reachability reachability{defaults};
    PrivateBus bus;
    FakeNotificationServer server{bus, {QStringLiteral("body"), QStringLiteral("actions")}};
    bool serverStarted = server.start();
    FreedesktopNotifications client{bus.connect(QStringLiteral("client")), 500};
    XdgUrlSchemeHandlers handlers;
    RecordedSounds sounds;
    BrowserSupport browser{defaults, handlers, sounds};
    ShareManager sharing{browser};
    NotificationManager notifications{defaults, client, browser};
    RowSettings rowSettings{defaults};
    QStringList opened;
    bool ticking = false;
    std::unique_ptr<DatasourceManager> manager;
    std::unique_ptr<StarManager> stars;
    std::unique_ptr<VTPreviewWindowController> preview;
    std::unique_ptr<MainWindowController> bar;
};
