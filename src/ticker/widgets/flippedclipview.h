#pragma once

#include <QPoint>
#include <QRect>
#include <QScrollArea>

// The bar's scroll area. Its document hangs from the top: scroll position (0, 0) shows the
// document's top edge, where the newest rows are, and a document that grows keeps its top in
// place. It draws no background and no frame, never scrolls sideways, and announces every
// change of what it shows (scrolling or resizing) with boundsDidChange.
class FlippedClipView : public QScrollArea {
    Q_OBJECT

public:
    explicit FlippedClipView(QWidget *parent = nullptr);

    // Shows `view` as the document, without the background QScrollArea::setWidget gives it.
    void setDocumentView(QWidget *view);

    // Scrolls so that `point` of the document (top-down) is at the top left of the viewport.
    void scrollToPoint(const QPoint &point);

    // The part of the document in view, in the document's top-down coordinates.
    QRect documentVisibleRect() const;

Q_SIGNALS:
    void boundsDidChange();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
};
