#include "model/parse/feedpaths.h"

#include <iterator>

namespace {

// Compared from the innermost name, which tells most paths apart at once.
bool pathIs(const QStringList &path, std::initializer_list<QStringView> names)
{
    if (path.size() != static_cast<qsizetype>(names.size()))
        return false;
    qsizetype i = path.size();
    for (auto name = std::rbegin(names); name != std::rend(names); ++name) {
        const QStringView element = path.at(--i);
        if (element != *name)
            return false;
    }
    return true;
}

} // namespace

// RSS 1.0 keeps its items beside the channel, not inside it; its documents are otherwise read as
// RSS 2.0 ones (title, link, description, dc:date).
bool FeedPaths::isEntryPath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"item"}) || pathIs(path, {u"feed", u"entry"}) ||
           pathIs(path, {u"rdf:RDF", u"item"});
}

bool FeedPaths::isTitlePath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"title"}) || pathIs(path, {u"feed", u"title"}) ||
           pathIs(path, {u"rdf:RDF", u"channel", u"title"});
}

bool FeedPaths::isImageUrlPath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"image", u"url"});
}

bool FeedPaths::isAtomLinkPath(const QStringList &path)
{
    return pathIs(path, {u"feed", u"entry", u"link"});
}
