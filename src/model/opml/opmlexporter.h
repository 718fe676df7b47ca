#pragma once

#include "model/opml/opmlfeed.h"

#include <QByteArray>
#include <QString>

class DatasourceManager;

// The manager's subscriptions as OPML (see OpmlWriter), in the manager's order, each under its
// display name: the custom name, else the feed's name, else the empty string.
class OpmlExporter {
public:
    static QList<OpmlFeed> feedsOf(const DatasourceManager &manager);
    static QByteArray document(const DatasourceManager &manager);
    // An error in plain words, or a null string when the file was written.
    static QString exportToFile(const DatasourceManager &manager, const QString &path);
};
