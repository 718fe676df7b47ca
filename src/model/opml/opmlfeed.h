#pragma once

#include <QList>
#include <QString>

// One feed of an OPML subscription list: its address and its display name. A null title means
// the outline carried none.
struct OpmlFeed {
    QString url;
    QString title;

    bool operator==(const OpmlFeed &other) const = default;
};

// What reading an OPML file gave: the feeds in document order and the number of leaf outlines
// passed over (not of type "rss", or without a usable address); or an error in plain words, and
// then no feeds.
struct OpmlReadResult {
    QList<OpmlFeed> feeds;
    int skipped = 0;
    QString errorString;

    bool ok() const { return errorString.isNull(); }
};
