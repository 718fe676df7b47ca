#pragma once

#include "model/entry/dataitem.h"
#include "ticker/rows/rowcontext.h"

#include <QColor>
#include <QObject>
#include <QSize>

class RowButton;
class QWidget;

// A row's star and share buttons, at the row's right end (the star left of the share button).
// Both show while the row is hovered; the star also stays while the entry is starred. The star
// toggles the entry in the star store; the share button opens the share entries as a menu
// hanging below it. A row gets a star only with a star store, a share button only when sharing
// is possible. Buttons fade in and out; a faded-out button is hidden, so that rows at rest paint
// none.
class RowHoverButtons : public QObject {
    Q_OBJECT

public:
    RowHoverButtons(const RowContext &context, QWidget *row);

    RowButton *starButton() const { return m_starButton; }
    RowButton *shareButton() const { return m_shareButton; }

    void setDataItem(const DataItemPtr &item) { m_item = item; }

    // The hover state began or ended.
    void showForHover();
    void hideForHover();
    // Mirrors whether the entry is starred; `hovered` keeps the star shown for an unstarred entry.
    void updateStar(bool hovered);

    // The buttons' images, tinted in the colour.
    void setIconColor(const QColor &color);
    // Keeps the buttons at the right end of a row of this size.
    void place(const QSize &rowSize);
    // The room the source line leaves at its end for the buttons wanted.
    int spacing() const;

Q_SIGNALS:
    // Which buttons are wanted changed.
    void iconsChanged();

private:
    void updateIcons();
    void starAction();
    void shareAction();

    const RowContext &m_context;
    RowButton *m_starButton = nullptr;
    RowButton *m_shareButton = nullptr;
    DataItemPtr m_item;
    QColor m_iconColor;
    bool m_starShouldBeVisible = false;
    bool m_shareShouldBeVisible = false;
};
