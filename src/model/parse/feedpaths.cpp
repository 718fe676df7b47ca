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

bool FeedPaths::isEntryPath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"item"}) || pathIs(path, {u"feed", u"entry"});
}

bool FeedPaths::isTitlePath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"title"}) || pathIs(path, {u"feed", u"title"});
}

bool FeedPaths::isImageUrlPath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"image", u"url"});
}

bool FeedPaths::isAtomLinkPath(const QStringList &path)
{
    return pathIs(path, {u"feed", u"entry", u"link"});
}
