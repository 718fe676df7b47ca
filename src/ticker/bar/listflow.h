#pragma once

#include "model/dates/feeddate.h"
#include "model/entry/dataitem.h"
#include "ticker/bar/itemsnapshot.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

class BarColumn;
class Clock;
class DataItemView;
class DatasourceManager;
class DrawnScrollBar;
class EntryPreview;
class FlippedClipView;
class ListView;
class NotificationManager;
class QTimer;
class RowRecycler;
class SoundPlayer;
class UnseenList;
class UserDefaults;
class ViewDataSource;

// How headlines move through the bar. A tick every 0.2 seconds brings at most one new headline
// in every 3 seconds: it sounds, notifies and slides in at the top, or, while the user looks
// further down, is added without moving the view and counted as unseen. More than ten waiting
// go in together, without animation. After each tick the rows in view are laid out again when
// the provider's list changed, and rows follow read flags changed elsewhere. Read rows fade out
// with auto-hide, the view jumps back to the newest headlines after a while, and the preview
// stays on its row.
//
// The bar runs all day, so the tick sleeps while it provably has nothing to do: the feeds' list
// shown, nothing published or queued since, no slide-in or gap running, no scroll to answer and
// no auto-hide. Every change of the feeds' list comes with a publish, which wakes it; so do a
// scroll, a change of the scroll-to-top interval, another list or a flag set without a merge
// (wake()); and it wakes by itself at midnight for the rows' dates.
class ListFlow : public QObject {
    Q_OBJECT

public:
    static constexpr int tickIntervalMs = 200;
    static constexpr int arrivalGapSeconds = 3;
    static constexpr int surplusThreshold = 10;
    static constexpr int autoHideFadeMs = 700;

    struct Parts {
        UserDefaults &defaults;
        const Clock &clock;
        EntryPreview &preview;
        SoundPlayer &sounds;
        NotificationManager &notifications;
        FlippedClipView &scrollView;
        BarColumn &column;
        UnseenList &unseen;
        DrawnScrollBar &scrollBar;
        const RowRecycler &recycler;
    };

    // `manager` serves the list until setDatasource chooses another; `startTimers` false leaves
    // the ticks to the caller.
    ListFlow(const Parts &parts, DatasourceManager &manager, ListView &mainList, bool startTimers,
             QObject *parent = nullptr);

    // The tick.
    void timer();
    // Has the tick run again after it slept; cheap while awake.
    void wake();
    bool isAsleep() const { return m_asleep; }
    // Lays out the rows in view; `scrolling` when the user's scrolling asks.
    void rebuildViews(bool scrolling = false);
    void scrollDidChange();
    void scrollToTopAction();
    // Plays the alert for a marked headline, or for any with "alwaysPlaySound"; true when it played.
    bool playSound(const DataItemPtr &item);
    // Fades read rows out and then hides their headlines; `force` spares no row, otherwise the
    // previewed one is spared.
    void autoHide(bool force);
    bool isAutoHide() const { return m_autoHide; }
    void setAutoHide(bool autoHide);
    void hideReadItems();
    void showHiddenItems();
    void markAllRead();
    void markAllUnread();
    // Rebuilds every row's time line (a new day, another locale).
    void updateTimes();
    void _updatePreviewWindow();
    void updateInvisibleList();

    // Shows `list` filled from `datasource` (the feeds or the starred headlines).
    void setDatasource(ViewDataSource &datasource, ListView &list);
    ViewDataSource &datasource() const { return *m_datasource; }
    ListView &listView() const { return *m_listView; }
    // Lists whose rows follow the day and the locale besides the one shown.
    void addOtherList(ListView &list) { m_otherList = &list; }

    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);
    void setReduceMotion(bool reduce) { m_reduceMotion = reduce; }

    const ItemSnapshot &items() const { return m_items; }
    // How many times the provider's list was copied.
    int snapshotCount() const { return m_snapshots; }
    bool isWaitingForGap() const { return m_lastNew.isValid(); }
    QTimer *scrollTimer() const { return m_scrollTimer; }

private:
    void tick();
    bool hasNothingToDo();
    void sleepUntilTomorrow();
    void restartScrollTimerIfAsked();
    void drainSurplus(bool atTop, bool &played);
    void bringIn(const DataItemPtr &item, bool atTop);
    void slideIn(DataItemView *row);
    void addUnseen(const DataItemPtr &item);
    bool takeSnapshotIfNeeded();
    void followDayChange();
    void updateScrollHeight();
    DataItemView *rowShowing(const DataItemPtr &item) const;
    bool isInsideScrollView(const QPoint &global) const;

    Parts m_parts;
    DatasourceManager &m_manager;
    ViewDataSource *m_datasource;
    ListView *m_listView;
    ListView &m_mainList;
    QPointer<ListView> m_otherList;
    ItemSnapshot m_items;
    int m_itemHeight = 100;
    int m_prevTop = 0;
    int m_prevBottom = 0;
    int m_snapshots = 0;
    FeedDate::LocalDay m_today;
    QDateTime m_lastNew;
    bool m_restartTimer = false;
    bool m_autoHide = false;
    bool m_reduceMotion = false;
    bool m_asleep = false;
    QTimer *m_scrollTimer;
    QTimer *m_tick = nullptr;
};
