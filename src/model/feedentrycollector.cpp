#include "model/feedentrycollector.h"

#include <iterator>

using namespace Qt::StringLiterals;

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

bool FeedEntryCollector::isEntryPath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"item"}) || pathIs(path, {u"feed", u"entry"});
}

bool FeedEntryCollector::isTitlePath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"title"}) || pathIs(path, {u"feed", u"title"});
}

bool FeedEntryCollector::isImageUrlPath(const QStringList &path)
{
    return pathIs(path, {u"rss", u"channel", u"image", u"url"});
}

bool FeedEntryCollector::isAtomLinkPath(const QStringList &path)
{
    return pathIs(path, {u"feed", u"entry", u"link"});
}

void FeedEntryCollector::startElement(const QStringList &path, const FeedAttributes &attributes)
{
    if (isEntryPath(path)) {
        m_current.clear();
        m_inEntry = true;
    }
    if (isAtomLinkPath(path) && m_inEntry) {
        const QString href = attributes.value(u"href");
        if (!href.isNull())
            m_current.insert(u"href"_s, href);
    }
    m_currentElement = path.last();
}

void FeedEntryCollector::characters(const QStringList &path, const QString &text)
{
    if (m_inEntry)
        m_current[m_currentElement].append(text);
    else if (isTitlePath(path))
        m_title.append(text);
    else if (isImageUrlPath(path))
        m_imageUrl.append(text);
}

void FeedEntryCollector::endElement(const QStringList &path)
{
    if (m_inEntry && isEntryPath(path)) {
        m_entries.append(m_current);
        m_current.clear();
        m_inEntry = false;
    }
}
