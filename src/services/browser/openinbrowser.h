#pragma once

#include <QString>

class DataItem;

// Opens the entry's link in the browser (BrowserSupport::sharedInstance()). An entry without a
// link, or with one that is not a URL, beeps and opens nothing.
void openInBrowser(const DataItem &item);
void openInBrowser(const QString &link);
