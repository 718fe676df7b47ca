#include "ticker/bar/listflow.h"

#include "model/dates/feeddate.h"
#include "model/manager/datasourcemanager.h"
#include "platform/clock.h"
#include "platform/desktop/soundplayer.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/entrypreview.h"
#include "services/notifications/notificationmanager.h"
#include "ticker/bar/barcolumn.h"
#include "ticker/bar/drawnscrollbar.h"
#include "ticker/bar/rowrecycler.h"
#include "ticker/bar/unseenlist.h"
#include "ticker/rows/dataitemview.h"
#include "ticker/rows/readstatewatcher.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"
#include "ui/animation/viewalpha.h"
#include "ui/drawing/bottomupgeometry.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

ListFlow::ListFlow(const Parts &parts, DatasourceManager &manager, ListView &mainList, bool startTimers,
                   QObject *parent)
    : QObject(parent), m_parts(parts), m_manager(manager), m_datasource(&manager), m_listView(&mainList),
      m_mainList(mainList), m_scrollTimer(new QTimer(this))
{
    m_scrollTimer->setSingleShot(true);
    connect(m_scrollTimer, &QTimer::timeout, this, &ListFlow::scrollToTopAction);
    if (!startTimers)
        return;
    m_tick = new QTimer(this);
    connect(m_tick, &QTimer::timeout, this, &ListFlow::tick);
    m_tick->start(tickIntervalMs);
    // Emitted on the merge thread: queued to this one.
    connect(&manager, &DatasourceManager::itemsPublished, this, &ListFlow::wake);
    m_parts.defaults.observe(SettingsKey::scrollToTopInterval, this, [this](const QVariant &) { wake(); });
}

// One timer runs the tick, lays the rows out and has them follow their read flags.
void ListFlow::tick()
{
    timer();
    rebuildViews();
    ReadStateWatcher::shared().check();
    if (hasNothingToDo())
        sleepUntilTomorrow();
}

bool ListFlow::hasNothingToDo()
{
    return m_datasource == &m_manager && !m_autoHide && !m_lastNew.isValid() && !m_restartTimer &&
           !m_listView->isAnimating() && !m_datasource->needsRefresh() && !m_datasource->hasNew();
}

// A long wait rather than none: it catches the new day, and a minute at most after a suspend or a
// change of the clock.
void ListFlow::sleepUntilTomorrow()
{
    const qint64 untilTomorrow = m_parts.clock.now().msecsTo(m_today.end);
    m_tick->start(int(std::clamp<qint64>(untilTomorrow + 1, tickIntervalMs, 60'000)));
    m_asleep = true;
}

void ListFlow::wake()
{
    if (!m_asleep)
        return;
    m_asleep = false;
    m_tick->start(tickIntervalMs);
}

void ListFlow::timer()
{
    autoHide(false);
    restartScrollTimerIfAsked();
    if (m_lastNew.isValid()) {
        if (std::abs(m_lastNew.msecsTo(m_parts.clock.now())) / 1000 >= arrivalGapSeconds)
            m_lastNew = QDateTime();
        return;
    }
    if (!m_datasource->hasNew())
        return;
    const int listHeight = m_listView->height();
    const QRect visible = m_listView->visibleRect();
    // While the preview is open over a list that does not fill the view, a new row would push it away.
    if (m_parts.preview.dataItem() && m_parts.scrollView.height() > listHeight)
        return;
    const bool atTop =
        !m_parts.preview.dataItem() && visible.y() + visible.height() > listHeight - m_itemHeight / 2;
    bool played = false;
    drainSurplus(atTop, played);
    const DataItemPtr item = m_datasource->theNewItem();
    if (!item)
        return;
    if (!played)
        playSound(item);
    m_parts.notifications.displayItem(item);
    bringIn(item, atTop);
    m_lastNew = m_parts.clock.now();
    m_restartTimer = false;
}

void ListFlow::restartScrollTimerIfAsked()
{
    if (!m_restartTimer && m_scrollTimer->isActive())
        return;
    m_restartTimer = false;
    m_scrollTimer->stop();
    const qint64 seconds = m_parts.defaults.integerForKey(SettingsKey::scrollToTopInterval);
    if (seconds > 0)
        m_scrollTimer->start(int(std::min<qint64>(seconds, 24 * 3600)) * 1000);
}

void ListFlow::drainSurplus(bool atTop, bool &played)
{
    if (m_datasource->theNewItems().size() <= surplusThreshold)
        return;
    while (m_datasource->theNewItems().size() > surplusThreshold) {
        const DataItemPtr item = m_datasource->theNewItem();
        if (!played)
            played = playSound(item);
        if (!atTop)
            addUnseen(item);
        m_datasource->removeNew();
        rebuildViews();
    }
}

// The new row waits just above the top row; growing the list by one row brings it into view.
void ListFlow::bringIn(const DataItemPtr &item, bool atTop)
{
    const int listHeight = m_listView->height();
    const int listWidth = m_listView->width();
    const QRect visible = m_listView->visibleRect();
    DataItemView *row =
        m_parts.recycler.makeRow(*m_listView, item, QRect(0, listHeight, listWidth, m_itemHeight));
    item->setShown(true);
    m_items.prepend(item);
    const QSize grown(listWidth, listHeight + m_itemHeight);
    if (atTop) {
        m_parts.scrollView.scrollToPoint(QPoint(0, 0));
        m_datasource->removeNew();
        ViewAlpha::set(row, 0.0);
        if (m_reduceMotion) {
            m_listView->setFrameSize(grown);
            ViewAlpha::set(row, 1.0);
            rebuildViews();
            return;
        }
        m_listView->setAnimating(true);
        m_listView->setResizeTarget(row);
        m_listView->animateFrameSize(grown);
        return;
    }
    addUnseen(item);
    m_datasource->removeNew();
    m_listView->setFrameSize(grown);
    // What the user looks at keeps its distance to the list's bottom edge.
    m_parts.scrollView.scrollToPoint(QPoint(0, BottomUpGeometry(grown.height()).rect(visible).y()));
    updateScrollHeight();
    rebuildViews();
}

void ListFlow::addUnseen(const DataItemPtr &item)
{
    m_parts.unseen.add(item);
    updateInvisibleList();
}

void ListFlow::updateInvisibleList()
{
    m_parts.unseen.update(*m_listView);
}

bool ListFlow::playSound(const DataItemPtr &item)
{
    if (!item->mark() && !m_parts.defaults.boolForKey(SettingsKey::alwaysPlaySound))
        return false;
    const QVariant name = m_parts.defaults.objectForKey(SettingsKey::soundName);
    if (!name.isValid() || name.toString().isEmpty())
        return false;
    m_parts.sounds.play(name.toString());
    return true;
}

void ListFlow::rebuildViews(bool scrolling)
{
    if (m_listView->isAnimating() && !scrolling)
        return;
    bool refreshed = false;
    if (!(m_listView->isAnimating() && m_listView == &m_mainList)) {
        refreshed = takeSnapshotIfNeeded();
        const QSize size(m_parts.scrollView.viewport()->width(), m_items.count() * m_itemHeight);
        if (m_listView->size() != size)
            m_listView->setFrameSize(size);
    }
    followDayChange();
    if (!scrolling && !m_datasource->needsRefresh())
        return;
    const QRect visible = m_listView->visibleRect();
    const int count = m_items.count();
    const int first = std::max(int(std::floor(double(visible.y()) / m_itemHeight)) - 1, 1);
    const int last =
        std::min(int(std::ceil(double(visible.y() + visible.height()) / m_itemHeight)) + 1, count);
    if (scrolling && last == m_prevTop && first == m_prevBottom)
        return;
    m_parts.recycler.layout(*m_listView, m_items, first, last, m_itemHeight, scrolling,
                            m_reduceMotion ? 0 : RowRecycler::fadeInDurationMs);
    if (refreshed)
        m_datasource->setNeedsRefresh(false);
    m_prevTop = last;
    m_prevBottom = first;
    updateScrollHeight();
    _updatePreviewWindow();
}

bool ListFlow::takeSnapshotIfNeeded()
{
    if (!m_datasource->needsRefresh() && m_items.isTaken())
        return false;
    m_items.take(m_datasource->items());
    ++m_snapshots;
    return true;
}

// Today's bounds are worked out once a day: the check runs five times a second, and asking for
// the system time zone reads files each time.
void ListFlow::followDayChange()
{
    const QDateTime now = m_parts.clock.now();
    if (m_today.contains(now))
        return;
    if (m_today.start.isValid())
        updateTimes();
    m_today = FeedDate::today(m_parts.clock);
}

void ListFlow::updateScrollHeight()
{
    m_parts.scrollBar.updateScrollHeight(m_listView->height(), m_listView->visibleRect());
}

void ListFlow::scrollDidChange()
{
    wake();
    m_parts.scrollBar.updateScrollBar(m_listView->height(), m_listView->visibleRect());
    rebuildViews(true);
    _updatePreviewWindow();
    updateInvisibleList();
    m_restartTimer = true;
}

// The counter collapses at once, as nothing is left unseen.
void ListFlow::scrollToTopAction()
{
    wake();
    m_parts.scrollView.scrollToPoint(QPoint(0, 0));
    m_parts.unseen.clear();
    updateInvisibleList();
}

void ListFlow::autoHide(bool force)
{
    if (!m_autoHide)
        return;
    const DataItemPtr previewed = m_parts.preview.dataItem();
    bool hidden = false;
    for (DataItemView *row : RowRecycler::rows(*m_listView)) {
        const DataItemPtr item = row->dataItem();
        if (!item)
            continue;
        if ((item != previewed || force) && item->read() && !item->hidden()) {
            const qreal alpha = ViewAlpha::of(row);
            if (alpha == 1.0) {
                ViewAlpha::animate(row, 0.0, m_reduceMotion ? 0 : autoHideFadeMs);
            }
            if (ViewAlpha::of(row) == 0.0) {
                ViewAlpha::set(row, 1.0);
                item->setHidden(true);
                hidden = true;
            }
        }
        if (ViewAlpha::of(row) != 1.0 && !item->read())
            ViewAlpha::set(row, 1.0);
    }
    if (!hidden)
        return;
    if (m_datasource == &m_manager)
        m_manager.mergeSync();
    else
        m_datasource->setNeedsRefresh(true);
}

void ListFlow::setAutoHide(bool autoHide)
{
    m_autoHide = autoHide;
    if (autoHide)
        hideReadItems();
    else
        showHiddenItems();
}

void ListFlow::hideReadItems()
{
    m_datasource->hideRead();
}

void ListFlow::showHiddenItems()
{
    m_datasource->showHidden();
}

void ListFlow::markAllRead()
{
    m_datasource->markRead();
    if (!m_autoHide)
        m_datasource->showHidden();
}

void ListFlow::markAllUnread()
{
    m_datasource->markUnread();
}

void ListFlow::updateTimes()
{
    for (ListView *list : {&m_mainList, m_otherList.data()}) {
        if (!list)
            continue;
        for (DataItemView *row : RowRecycler::rows(*list))
            row->refresh();
    }
}

void ListFlow::_updatePreviewWindow()
{
    const DataItemPtr previewed = m_parts.preview.dataItem();
    if (!previewed)
        return;
    const DataItemView *row = rowShowing(previewed);
    if (row && isInsideScrollView(row->arrowLocation()))
        m_parts.preview.setArrowLocation(row->arrowLocation(), row->isArrowOnLeft());
    else
        m_parts.preview.close();
}

DataItemView *ListFlow::rowShowing(const DataItemPtr &item) const
{
    for (DataItemView *row : RowRecycler::rows(*m_listView)) {
        if (row->dataItem() == item)
            return row;
    }
    return nullptr;
}

bool ListFlow::isInsideScrollView(const QPoint &global) const
{
    const int y = m_parts.scrollView.window()->mapFromGlobal(global).y();
    const QRect scroll = m_parts.scrollView.geometry();
    return y > scroll.top() && y < scroll.top() + scroll.height();
}

void ListFlow::setDatasource(ViewDataSource &datasource, ListView &list)
{
    m_datasource = &datasource;
    m_listView = &list;
    wake();
    m_items = ItemSnapshot();
    m_datasource->setNeedsRefresh(true);
    m_prevTop = m_prevBottom = 0;
    rebuildViews();
}

void ListFlow::setItemHeight(int height)
{
    m_itemHeight = height <= 0 ? 100 : height;
    m_datasource->setNeedsRefresh(true);
    rebuildViews();
}
