#pragma once

#include "model/entry/dataitem.h"
#include "ticker/rows/rowcontext.h"
#include "ticker/rows/rowicon.h"

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QPropertyAnimation;
class RowButton;
class RowHoverButtons;
class RowTextField;

// One headline row of the bar: the feed's icon, the headline and below it the source line (the
// entry's time, or its date when it is not from today, and the feed's name). Rows are tinted by
// feed, by keyword mark and by hover; read entries are dimmed; on hover a star and a share button
// show. A click opens the preview, a double click the browser; a right click offers "Reset
// Icon"; an image dropped on the icon becomes the feed's icon.
//
// The bar creates, places (ListView::setSubviewFrame), fills and recycles rows; a row never
// decides its own place. Geometry is given with y growing upwards from the row's bottom edge.
// Main thread only.
class DataItemView : public QWidget {
    Q_OBJECT

public:
    // The strip along the bar's inner edge, under the scroll bar, where clicks pass through.
    static constexpr int inertStripWidth = 10;
    // The bar's edge strip from which its width is dragged, left out of the hover area.
    static constexpr int edgeStripWidth = 3;
    static constexpr double readAlpha = 0.6;

    explicit DataItemView(const RowContext &context, QWidget *parent = nullptr);
    ~DataItemView() override;

    DataItemPtr dataItem() const { return m_item; }
    // Shows the entry, reusing the row; nullptr shows nothing.
    void setDataItem(const DataItemPtr &item);

    // The row number the bar gave (1 = bottom row).
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    // The gradient angle in degrees; negative means none. Follows the setting.
    float angle() const { return m_angle; }
    void setAngle(float angle);

    // Rebuilds the source line (the bar calls it when the day or the locale changes).
    void refresh();

    // Where the preview's arrow points: the row's vertical centre on its right edge when the
    // preview opens to the right of the bar, else on its left edge; in global screen coordinates.
    QPoint arrowLocation() const;
    // Whether the preview opens to the right of the bar (its arrow on its left side).
    bool isArrowOnLeft() const;

    // The icon's rectangle, y upwards from the row's bottom edge.
    QRect imageRect() const;
    float imageWidth() const;

    // Ends the hover state.
    void setInactive();
    bool isHighlighted() const { return m_highLight; }
    bool isInDropMode() const { return m_dropMode; }

    // Forgets the feed's own icon.
    void resetImage();

    // Mirrors whether the entry is starred on the star button.
    void updateStar();
    // Fades the texts when the entry's read flag changed since the row last showed it.
    void followReadState();

    RowTextField *titleTextField() const { return m_titleTextField; }
    RowTextField *sourceTextField() const { return m_sourceTextField; }
    // nullptr without a star store or when sharing is impossible.
    RowButton *starButton() const;
    RowButton *shareButton() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void followSettings();
    void observeNotifications();

    // Texts and colours
    void _refresh();
    void applyTextColors();
    QColor baseColor() const;
    void setTextAlpha(qreal alpha, bool animated);
    void fontsDidChange();

    // Layout
    void _reorderTextFields();
    int sourceTextHeight() const;
    int sourceTextX() const;
    int sourceTextWidth() const;
    void updateSourceTextWidth();

    // Hover
    QRect trackingRect() const;
    void trackPointer(const QPoint &position);
    void mouseEntered();
    bool isCursorVisible() const;

    // Clicks
    bool isInInertStrip(const QPoint &position) const;
    void click(int clickCount);
    void _openPreview();
    void openInBrowser();
    bool isInsideClipView(const QPoint &globalPoint) const;

    // Drawing and dropping the icon
    QColor rowColor() const;
    void drawIcon(QPainter &painter);
    bool acceptsDropAt(const QPointF &position) const;
    void setDropMode(bool dropMode);
    void redisplayList();

    RowContext m_context;
    DataItemPtr m_item;
    RowTextField *m_titleTextField;
    RowTextField *m_sourceTextField;
    RowHoverButtons *m_buttons;
    // The feed's own colours; invalid when it has none.
    QColor m_backgroundColor;
    QColor m_customFontColor;
    bool m_hasSource = false;
    bool m_highLight = false;
    bool m_pointerInside = false;
    bool m_showsRead = false;
    bool m_dropMode = false;
    int m_index = 0;
    float m_angle = -1.0f;
    QPointer<QPropertyAnimation> m_sourceWidthAnimation;
    RowIcon m_icon;
};
