#pragma once

#include "model/source/duplicateindex.h"
#include "model/source/rssentryreader.h"

#include <QList>
#include <vector>

class Clock;
class Datasource;

// Files the entries of one parsed document into their source: a known entry is marked, an updated
// one replaces the stored one, a new one is added, or, once the source has shown entries (insert
// mode), held back and added at the end, oldest first, so that the newest arrives last. Belongs to
// the refresh under way, which has the source to itself; each entry is filed under the source's
// lock.
class EntryFiler {
public:
    EntryFiler(Datasource &source, const Clock &clock) : m_source(source), m_clock(clock) {}

    // `parsed` is in document order.
    void file(const std::vector<RSSEntryReader::ParsedEntry> &parsed);

private:
    void fileEntry(const RSSEntryReader::ParsedEntry &entry);
    void replaceUpdatedItem(const DataItemPtr &existing, const DataItemPtr &entry,
                            const DuplicateIndex::Key &key);
    void addCurrentItem(const DataItemPtr &entry, const DuplicateIndex::Key &key);
    void fileNewList();

    Datasource &m_source;
    const Clock &m_clock;
    QList<DataItemPtr> m_newList; // arrivals held back in insert mode
    DuplicateIndex m_duplicates;
};
