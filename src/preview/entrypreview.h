#pragma once

#include "model/entry/dataitem.h"

#include <QPoint>

// What the bar asks of the pop-up preview of an entry: show an entry beside the row it came from,
// keep pointing at that row while the list scrolls, and close. VTPreviewWindowController is the
// application's one implementation.
//
// While the preview is locked, setArrowLocation, setDataItem and close do nothing, so that a
// component that needs the preview to stand still (a menu opened from it) can hold it in place.
class EntryPreview {
public:
    virtual ~EntryPreview() = default;

    // The entry shown, or nullptr while the preview is closed or closing.
    virtual DataItemPtr dataItem() const = 0;
    // Shows the entry beside the point given by the last setArrowLocation. nullptr closes.
    virtual void setDataItem(const DataItemPtr &item) = 0;
    // Where the arrow points: the row's edge, in Qt's global screen coordinates (pixels from the
    // top-left of the virtual desktop, y growing downwards). `showOnLeft`: the arrow is on the
    // preview's left side, that is the preview stands to the right of the bar. A preview that is
    // showing an entry follows the point, and closes when the point leaves the screen.
    virtual void setArrowLocation(const QPoint &screenPoint, bool showOnLeft) = 0;
    // Fades the preview out and takes it off the screen a second later.
    virtual void close() = 0;

    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual bool isLocked() const = 0;
};
