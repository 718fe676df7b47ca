#include "services/browser/openinbrowser.h"

#include "model/entry/dataitem.h"
#include "services/browser/browsersupport.h"

void openInBrowser(const DataItem &item)
{
    openInBrowser(item.link());
}

void openInBrowser(const QString &link)
{
    BrowserSupport::sharedInstance().openInBrowser(link);
}
