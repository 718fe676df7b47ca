#pragma once

#include "model/manager/viewdatasource.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <functional>
#include <memory>

class Clock;
class QTimer;

// The ticker without a window: it brings headlines in from a ViewDataSource at the bar's pace
// and hands each one to `show` once.
//
// Every tick (0.2 seconds) it first shows the rows that reached the top of the published list
// without arriving through the queue (the history on screen at start, oldest first), then
// releases queued arrivals: one at a time and at most one every 3 seconds; when more than 10
// wait, all but 10 go out at once before the next one. Main thread only.
class HeadlessTicker : public QObject {
    Q_OBJECT
public:
    using Show = std::function<void(const DataItemPtr &item)>;

    static constexpr int tickIntervalMs = 200;
    static constexpr int releaseGapSeconds = 3;
    static constexpr int mostWaiting = 10;
    static constexpr int screenRows = 10;

    HeadlessTicker(ViewDataSource &source, const Clock &clock, Show show, QObject *parent = nullptr);

    void start();
    void stop();
    // One tick; the timer calls it, tests call it directly.
    void tick();

private:
    void showNewTopRows();
    void releaseQueued();
    void releaseOne();
    void show(const DataItemPtr &item);
    bool wasShown(const DataItemPtr &item) const;

    ViewDataSource &m_source;
    const Clock &m_clock;
    Show m_show;
    QTimer *m_timer;
    QDateTime m_lastNew;
    // Items shown so far; the weak reference tells a recycled address from the item itself.
    QHash<const DataItem *, std::weak_ptr<DataItem>> m_shown;
};
