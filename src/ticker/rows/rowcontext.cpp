#include "ticker/rows/rowcontext.h"

#include "model/stars/starmanager.h"
#include "platform/clock.h"
#include "services/browser/openinbrowser.h"
#include "services/sharing/sharemanager.h"

RowContext RowContext::standard(RowSettings &settings, EntryPreview &preview)
{
    ShareActions share;
    if (ShareManager::sharePossible()) {
        share = [](const DataItemPtr &item, QObject *parent) {
            return ShareManager::sharedManager().shareItem(item, parent);
        };
    }
    return RowContext{.settings = settings,
                      .clock = Clock::system(),
                      .preview = preview,
                      .stars = &StarManager::sharedInstance(),
                      .openInBrowser = [](const DataItem &item) { ::openInBrowser(item); },
                      .shareActions = share};
}
