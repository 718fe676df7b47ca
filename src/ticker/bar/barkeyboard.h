#pragma once

#include "model/entry/dataitem.h"
#include "ticker/rows/rowcontext.h"

#include <QObject>
#include <QPointer>

class DataItemView;
class EntryPreview;
class MainWindowController;
class StarManager;

// The bar without a mouse: Up and Down move a focus row (drawn as the hovered row), Enter opens
// the preview and Ctrl+Enter the browser, Ctrl+F the search field, Escape closes the preview or
// else the search, Home goes back to the newest headlines, S stars or unstars, R marks read or
// unread. Keys typed into the search field stay there, Escape and the arrows aside.
class BarKeyboard : public QObject {
    Q_OBJECT

public:
    BarKeyboard(MainWindowController &bar, EntryPreview &preview, StarManager *stars,
                RowContext::OpenInBrowser openInBrowser);

    // The focus row's entry; nullptr before the first move.
    DataItemPtr focusItem() const { return m_focus; }
    // Handles a key; false when it is not one of the bar's.
    bool keyPressed(int key, Qt::KeyboardModifiers modifiers, bool inSearchField);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveFocus(int step);
    DataItemView *focusRow() const;
    void showFocus(DataItemView *row);
    void openPreview();
    void openInBrowser();
    void escape();
    void toggleStar();
    void toggleRead();

    MainWindowController &m_bar;
    EntryPreview &m_preview;
    StarManager *m_stars;
    RowContext::OpenInBrowser m_openInBrowser;
    DataItemPtr m_focus;
};
