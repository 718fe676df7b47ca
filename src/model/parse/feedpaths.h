#pragma once

#include <QStringList>

// Where in an RSS 2.0 or Atom document the parts a feed source reads lie, as element paths from
// the root.
class FeedPaths {
public:
    static bool isEntryPath(const QStringList &path);
    static bool isTitlePath(const QStringList &path);
    static bool isImageUrlPath(const QStringList &path);
    static bool isAtomLinkPath(const QStringList &path);
};
