#pragma once

#include "model/opml/opmlfeed.h"

#include <QByteArray>
#include <QString>

// Reads the feeds of an OPML subscription list: the leaf outlines of type "rss" below
// opml/body, with their "xmlUrl" and "title".
//
// The file is untrusted: it is parsed without network access, without a DTD and without
// entities (a file that declares any is refused), and only addresses with the http, https or
// feed scheme are taken; other outlines are skipped. Files past the size, outline or nesting
// bounds are refused whole. Safe on any thread.
class OpmlReader {
public:
    static constexpr qint64 maximumFileSize = 16 * 1024 * 1024;
    static constexpr int maximumOutlines = 10000;
    static constexpr int maximumDepth = 32;

    static OpmlReadResult readFile(const QString &path);
    static OpmlReadResult read(const QByteArray &document);

    // Whether an address names a feed this program may subscribe to (http, https or feed).
    static bool isSubscribableAddress(const QString &address);
};
