#pragma once

#include "common/pixels.h"
#include "common/steppinganimationdriver.h"
#include "common/temphome.h"
#include "model/entry/itemkeys.h"
#include "model/stars/starmanager.h"
#include "model/testenvironment.h"
#include "model/testsource.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/entrypreview.h"
#include "ticker/rows/dataitemview.h"
#include "ticker/rows/hoveredrow.h"
#include "ticker/rows/rowsettings.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

// A preview that keeps what the rows tell it.
class RecordingPreview : public EntryPreview {
public:
    DataItemPtr dataItem() const override { return shown; }
    void setDataItem(const DataItemPtr &item) override { shown = item; }
    void setArrowLocation(const QPoint &screenPoint, bool showOnLeft) override
    {
        arrow = screenPoint;
        arrowOnLeft = showOnLeft;
    }
    void close() override
    {
        shown = nullptr;
        ++closes;
    }
    void lock() override {}
    void unlock() override {}
    bool isLocked() const override { return false; }

    DataItemPtr shown;
    QPoint arrow;
    bool arrowOnLeft = false;
    int closes = 0;
};

// Rows in the bar's scroll area (a ListView in a FlippedClipView) in a translucent window,
// 300 points wide, over the settings of a temporary home with the application's defaults, a
// clock standing at noon of 5 January 2024 in Berlin, and a real star store.
class RowFixture : public ::testing::Test {
protected:
    static constexpr int rowWidth = 300;
    static constexpr int rowHeight = 78;

    RowFixture();
    ~RowFixture() override;

    // A shared, loaded feed with a name and optionally its own colours and icon.
    std::shared_ptr<TestSource> addFeed(const QString &name, const QVariantMap &extra = {});
    // An entry of the feed (or of none), dated `date` (default: a minute before the clock).
    DataItemPtr entry(const std::shared_ptr<TestSource> &feed, const QString &title,
                      const QDateTime &date = {});
    // A row showing the entry as row number `index` of the list (1 = bottom).
    DataItemView *row(const DataItemPtr &item, int index = 1);
    // The list holding `count` rows of `rowHeight`.
    void setRowCount(int count);

    static QDateTime berlin(int year, int month, int day, int hour, int minute);
    // Lets queued notifications through.
    static void deliverNotifications();

    QByteArray savedTimeZone;
    bool hadTimeZone = false;
    TempHome home;
    UserDefaults defaults{home.configHome() + QStringLiteral("/vantrel")};
    ManualClock clock{berlin(2024, 1, 5, 12, 0)};
    TestEnvironment environment;
    SteppingAnimationDriver animations;
    RowSettings settings{defaults};
    RecordingPreview preview;
    StarManager stars{defaults, nullptr};
    QList<const DataItem *> opened;
    QList<DataItemPtr> shared;
    RowContext context;
    TranslucentWindow window;
    FlippedClipView *clip = new FlippedClipView(&window);
    ListView *list = new ListView;
    QList<std::shared_ptr<TestSource>> feeds;
};
