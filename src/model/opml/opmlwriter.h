#pragma once

#include "model/opml/opmlfeed.h"

#include <QByteArray>
#include <QString>

// Writes a subscription list as the OPML document other feed readers import: an "opml" root
// (version "1.0") with the head title "Subscriptions in Vantrel" and one empty "outline" of
// type "rss" per feed, whose "text" and "title" both carry the display name, pretty-printed in
// UTF-8. Safe on any thread.
class OpmlWriter {
public:
    // The document of the feeds, in order. A feed with an empty url gets no "xmlUrl"; a null
    // title is written as the empty string.
    static QByteArray document(const QList<OpmlFeed> &feeds);

    // Writes the document to the file whole or not at all. An error in plain words, or a null
    // string on success.
    static QString writeFile(const QList<OpmlFeed> &feeds, const QString &path);
};
