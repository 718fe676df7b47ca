#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QWidget>

// The preview's content view: a light grey speech bubble with a white rim and a soft shadow,
// whose arrow points sideways at the row the preview belongs to. It holds the preview's HTML view
// and buttons.
class VTPreviewBubbleView : public QWidget {
    Q_OBJECT

public:
    explicit VTPreviewBubbleView(QWidget *parent = nullptr);

    // Where the arrow points, in the view's bottom-up coordinates (y from the bottom edge); only y
    // is used.
    QPointF arrowLocation() const { return m_arrowLocation; }
    void setArrowLocation(const QPointF &location);
    // The arrow is on the left side (the bubble stands to the right of the bar).
    bool showOnLeft() const { return m_showOnLeft; }
    void setShowOnLeft(bool showOnLeft);

    // The bubble's outline for a view of that size, in the view's (top-down) coordinates, for an
    // arrow at the bottom-up `arrowY`. The arrow is part of it only when it fits between the
    // rounded corners.
    static QPainterPath bubblePath(const QSizeF &size, qreal arrowY, bool showOnLeft);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    class Outline;
    static void _addArrow(Outline &outline, qreal arrowY, bool showOnLeft);
    const QImage &shadowFor(const QPainterPath &outline);

    QPointF m_arrowLocation;
    bool m_showOnLeft = true;
    // The blurred rim of the last outline drawn; made again when the outline changes.
    QPainterPath m_shadowOutline;
    QImage m_shadow;
};
