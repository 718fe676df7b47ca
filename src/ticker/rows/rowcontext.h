#pragma once

#include "model/entry/dataitem.h"

#include <QList>

#include <functional>

class Clock;
class EntryPreview;
class QAction;
class QObject;
class RowSettings;
class StarManager;

// What a headline row uses of the rest of the program. The bar builds one for all its rows; the
// application's is standard(), tests make their own.
struct RowContext {
    // Opens the entry's link in the web browser.
    using OpenInBrowser = std::function<void(const DataItem &item)>;
    // The share entries for the entry, as children of `parent`, in menu order; none when there is
    // nothing to share.
    using ShareActions = std::function<QList<QAction *>(const DataItemPtr &item, QObject *parent)>;

    RowSettings &settings;
    // "Today" for the source line.
    const Clock &clock;
    EntryPreview &preview;
    // The star store; without one a row has no star button.
    StarManager *stars = nullptr;
    OpenInBrowser openInBrowser;
    // Without it sharing is impossible and a row has no share button.
    ShareActions shareActions;

    // The application's collaborators: the system clock, the shared star store, the browser
    // hand-off and the share menu of the desktop services.
    static RowContext standard(RowSettings &settings, EntryPreview &preview);
};
