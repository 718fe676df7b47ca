#pragma once

#include "model/opml/opmlfeed.h"

#include <QString>

class DatasourceManager;

// Subscribes to the feeds of an OPML file through the manager: feeds whose address (after
// feed-URL normalisation) a source already has are skipped without a notice, the others are
// added in document order and get the outline's title as their custom name. Outlines whose
// address is no feed address (FeedStrings::feedAddressRefusal) are passed over. A file that
// cannot be read adds nothing. Runs on the main thread, where feeds are added.
class OpmlImporter {
public:
    struct Result {
        int added = 0;
        int duplicates = 0;
        int skipped = 0; // outlines that are not feeds this program takes
        QString errorString;

        bool ok() const { return errorString.isNull(); }
    };

    static Result importFile(const QString &path, DatasourceManager &manager);
    static Result importFeeds(const QList<OpmlFeed> &feeds, DatasourceManager &manager);

private:
    static bool isSubscribed(const QString &address, const DatasourceManager &manager);
};
