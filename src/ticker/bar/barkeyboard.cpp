#include "ticker/bar/barkeyboard.h"

#include "model/stars/starmanager.h"
#include "preview/entrypreview.h"
#include "ticker/bar/itemsnapshot.h"
#include "ticker/bar/listflow.h"
#include "ticker/bar/mainwindowcontroller.h"
#include "ticker/bar/rowrecycler.h"
#include "ticker/bar/rsswindow.h"
#include "ticker/rows/dataitemview.h"
#include "ticker/widgets/flippedclipview.h"
#include "ticker/widgets/listview.h"
#include "ui/drawing/bottomupgeometry.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

BarKeyboard::BarKeyboard(MainWindowController &bar, EntryPreview &preview, StarManager *stars,
                         RowContext::OpenInBrowser openInBrowser)
    : m_bar(bar), m_preview(preview), m_stars(stars), m_openInBrowser(std::move(openInBrowser))
{
    bar.window()->installEventFilter(this);
    bar.searchField()->installEventFilter(this);
}

bool BarKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    return keyPressed(key->key(), key->modifiers(), watched == m_bar.searchField());
}

bool BarKeyboard::keyPressed(int key, Qt::KeyboardModifiers modifiers, bool inSearchField)
{
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    switch (key) {
    case Qt::Key_Up:
        moveFocus(-1);
        return true;
    case Qt::Key_Down:
        moveFocus(1);
        return true;
    case Qt::Key_Escape:
        escape();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        control ? openInBrowser() : openPreview();
        return true;
    case Qt::Key_F:
        if (!control)
            break;
        if (!m_bar.searchField()->isEnabled())
            m_bar.flipSearchFieldActionAnimate(true);
        m_bar.searchField()->setFocus();
        return true;
    default:
        break;
    }
    if (inSearchField || control)
        return false;
    switch (key) {
    case Qt::Key_Home:
        m_bar.listFlow().scrollToTopAction();
        return true;
    case Qt::Key_S:
        toggleStar();
        return true;
    case Qt::Key_R:
        toggleRead();
        return true;
    default:
        return false;
    }
}

// The focus starts on the newest headline in view and moves one entry of the list at a time.
void BarKeyboard::moveFocus(int step)
{
    const ItemSnapshot &items = m_bar.listFlow().items();
    const int count = items.count();
    if (count == 0)
        return;
    int at = -1;
    for (int k = 0; m_focus && k < count && at < 0; ++k) {
        if (items.at(k) == m_focus)
            at = k;
    }
    if (at < 0) {
        const ListView &list = m_bar.listFlow().listView();
        const int height = m_bar.listFlow().itemHeight();
        const QRect visible = list.visibleRect();
        at = std::clamp(count - (visible.y() + visible.height()) / height, 0, count - 1);
    } else {
        at = std::clamp(at + step, 0, count - 1);
    }
    m_focus = items.at(at);
    // Row i (1 = bottom) of n shows entry n - i: bring its rectangle into view.
    const int height = m_bar.listFlow().itemHeight();
    m_bar.scrollView()->ensureVisible(0, at * height + height / 2, 0, height / 2);
    m_bar.listFlow().rebuildViews(true);
    showFocus(focusRow());
}

DataItemView *BarKeyboard::focusRow() const
{
    for (DataItemView *row : RowRecycler::rows(m_bar.listFlow().listView())) {
        if (m_focus && row->dataItem() == m_focus)
            return row;
    }
    return nullptr;
}

// The row takes the hover state as if the pointer had entered it.
void BarKeyboard::showFocus(DataItemView *row)
{
    if (!row)
        return;
    const QPointF centre(row->width() / 2.0, row->height() / 2.0);
    QEnterEvent enter(centre, centre, row->mapToGlobal(centre));
    QApplication::sendEvent(row, &enter);
}

void BarKeyboard::openPreview()
{
    DataItemView *row = focusRow();
    if (!row)
        return;
    m_preview.setArrowLocation(row->arrowLocation(), row->isArrowOnLeft());
    m_preview.setDataItem(m_focus);
    m_focus->setRead(true);
    row->followReadState();
}

void BarKeyboard::openInBrowser()
{
    if (!m_focus)
        return;
    m_preview.close();
    if (m_openInBrowser)
        m_openInBrowser(*m_focus);
    m_focus->setRead(true);
    if (DataItemView *row = focusRow())
        row->followReadState();
}

void BarKeyboard::escape()
{
    if (m_preview.dataItem())
        m_preview.close();
    else if (m_bar.searchField()->isEnabled())
        m_bar.flipSearchFieldActionAnimate(true);
}

void BarKeyboard::toggleStar()
{
    if (!m_focus || !m_stars)
        return;
    if (m_stars->isStarred(*m_focus))
        m_stars->unstarItem(m_focus);
    else
        m_stars->starItem(m_focus);
    if (DataItemView *row = focusRow())
        row->updateStar();
}

void BarKeyboard::toggleRead()
{
    if (!m_focus)
        return;
    m_focus->setRead(!m_focus->read());
    if (DataItemView *row = focusRow())
        row->followReadState();
}
