#include "common/feedentrycollector.h"

#include "model/parse/feedpaths.h"

using namespace Qt::StringLiterals;

void FeedEntryCollector::startElement(const QStringList &path, const FeedAttributes &attributes)
{
    if (FeedPaths::isEntryPath(path)) {
        m_current.clear();
        m_inEntry = true;
    }
    if (FeedPaths::isAtomLinkPath(path) && m_inEntry) {
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
    else if (FeedPaths::isTitlePath(path))
        m_title.append(text);
    else if (FeedPaths::isImageUrlPath(path))
        m_imageUrl.append(text);
}

void FeedEntryCollector::endElement(const QStringList &path)
{
    if (m_inEntry && FeedPaths::isEntryPath(path)) {
        m_entries.append(m_current);
        m_current.clear();
        m_inEntry = false;
    }
}
