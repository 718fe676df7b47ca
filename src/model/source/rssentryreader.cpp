#include "model/source/rssentryreader.h"

#include "model/entry/itemkeys.h"
#include "model/entry/textcaps.h"
#include "model/parse/feedpaths.h"

using namespace Qt::StringLiterals;

namespace {

bool isAtomEntryPath(const QStringList &path)
{
    return path == QStringList{u"feed"_s, u"entry"_s};
}

} // namespace

void RSSEntryReader::startElement(const QStringList &path, const FeedAttributes &attributes)
{
    if (const QString base = attributes.value(u"xml:base"); !base.isNull())
        m_bases.push_back({path.size(), baseAddress().resolved(QUrl(base))});
    // Entries do not nest: inside one, no element starts another.
    if (m_entryDepth == 0) {
        if (!FeedPaths::isEntryPath(path))
            return;
        m_entry.clear();
        m_entryDepth = path.size();
        m_atomEntry = isAtomEntryPath(path);
        m_hasAlternateLink = false;
        m_entryLeftOut = ++m_entriesInDocument > maxEntriesPerDocument;
    } else if (m_entryLeftOut) {
        return;
    } else if (m_atomEntry && path.size() == m_entryDepth + 1 && path.last() == u"link") {
        readAtomLink(attributes);
    }
    m_currentElement = m_elementKeys.keyFor(path.last());
}

// The entry's page is its alternate link (a link without rel is one); the last of those wins.
// Enclosures, replies and the like stand in only while the entry has no alternate link.
void RSSEntryReader::readAtomLink(const FeedAttributes &attributes)
{
    const QString href = attributes.value(u"href");
    if (href.isNull())
        return;
    const QString rel = attributes.value(u"rel");
    const bool alternate = rel.isEmpty() || rel == u"alternate";
    if (!alternate && m_hasAlternateLink)
        return;
    m_hasAlternateLink = m_hasAlternateLink || alternate;
    const QUrl link(href);
    const QUrl base = baseAddress();
    const bool resolvable = link.isRelative() && base.isValid() && !base.isRelative();
    m_entry.setText(resolvable ? base.resolved(link).toString() : href, ItemPropertyKeys::get().href);
}

// Relative links are read against the innermost xml:base, or the document's own address.
QUrl RSSEntryReader::baseAddress() const
{
    return m_bases.empty() ? m_documentAddress : m_bases.back().second;
}

void RSSEntryReader::characters(const QStringList &path, const QString &text)
{
    // Text joins the value of the entry's element started last, so the white space after a child's
    // end joins that child.
    if (m_entryDepth != 0) {
        if (!text.isEmpty() && !m_entryLeftOut)
            m_entry.appendText(text, m_currentElement);
    } else if (FeedPaths::isTitlePath(path)) {
        m_title += text.first(TextCaps::fittingLength(text, TextCaps::title - m_title.size()));
    } else if (FeedPaths::isImageUrlPath(path)) {
        if (const QUrl address(text.trimmed(), QUrl::StrictMode); address.isValid() && !address.isRelative())
            m_listener.feedImageAddressRead(address);
    }
}

void RSSEntryReader::endElement(const QStringList &path)
{
    if (!m_bases.empty() && m_bases.back().first == path.size())
        m_bases.pop_back();
    // The feed's title lies outside every entry.
    if (m_entryDepth == 0) {
        if (FeedPaths::isTitlePath(path))
            m_listener.feedTitleRead(m_title);
        return;
    }
    // Closing at the entry's depth is the entry itself.
    if (path.size() == m_entryDepth && m_entryLeftOut) {
        m_entryDepth = 0;
    } else if (path.size() == m_entryDepth) {
        m_entryDepth = 0;
        DataItemPtr entry = m_entry.take();
        if (m_atomEntry)
            entry = convertAtomToRSS(*entry);
        // Worked out while the entry's texts are still in the processor's cache.
        DuplicateIndex::Key key = DuplicateIndex::keyOf(*entry);
        m_parsedEntries.push_back({std::move(entry), std::move(key)});
    }
}

DataItemPtr RSSEntryReader::convertAtomToRSS(const DataItem &entry)
{
    DataItem::Draft converted;
    auto copy = [&](QLatin1StringView from, QLatin1StringView to) {
        if (const QVariant value = entry.objectForKey(from); value.isValid()) {
            converted.setText(value.toString(), PropertyKey(to));
            return true;
        }
        return false;
    };
    copy(ItemKey::href, ItemKey::link);
    copy(ItemKey::title, ItemKey::title);
    if (!copy("content"_L1, ItemKey::description))
        copy("summary"_L1, ItemKey::description);
    copy("id"_L1, ItemKey::guid);
    if (!copy(ItemKey::published, ItemKey::published))
        copy("updated"_L1, ItemKey::published);
    return converted.take();
}
