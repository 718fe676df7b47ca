#include "model/source/entryfiler.h"

#include "model/dates/entrydate.h"
#include "model/dates/feeddate.h"
#include "model/entry/itemkeys.h"
#include "model/source/datasource.h"
#include "platform/clock.h"

// Entries are filed once the whole document has parsed, so a document that breaks off half way
// adds nothing.
void EntryFiler::file(const std::vector<RSSEntryReader::ParsedEntry> &parsed)
{
    {
        std::lock_guard guard(m_source.lock());
        m_duplicates.rebuild(m_source.itemsLocked(), qsizetype(parsed.size()));
    }
    for (const RSSEntryReader::ParsedEntry &entry : parsed)
        fileEntry(entry);
    fileNewList();
}

// Files the entry unless the source already has it; replaces an updated one.
void EntryFiler::fileEntry(const RSSEntryReader::ParsedEntry &parsed)
{
    const DataItemPtr &entry = parsed.item;
    std::lock_guard guard(m_source.lock());
    const DuplicateIndex::Result match = m_duplicates.find(*entry, parsed.key, m_source.itemsLocked());
    switch (match.match) {
    case DuplicateIndex::Match::Update:
        replaceUpdatedItem(match.item, entry, parsed.key);
        break;
    case DuplicateIndex::Match::Known:
        m_source.markItem(match.item);
        break;
    case DuplicateIndex::Match::None:
        addCurrentItem(entry, parsed.key);
        m_source.markItem(entry);
        break;
    }
}

// An update keeps the stored entry's number and flags and is never announced.
void EntryFiler::replaceUpdatedItem(const DataItemPtr &existing, const DataItemPtr &entry,
                                    const DuplicateIndex::Key &key)
{
    const PropertyKey &sequenceKey = ItemPropertyKeys::get().sequence;
    if (const QVariant sequence = existing->objectForKey(sequenceKey); sequence.isValid())
        entry->setObject(sequence, sequenceKey);
    entry->setShown(existing->shown());
    entry->setRead(existing->read());
    entry->setHidden(existing->hidden());
    const bool wasInserting = m_source.insertMode();
    m_source.setInsertMode(false);
    m_duplicates.remove(existing);
    m_source.removeItem(existing);
    addCurrentItem(entry, key);
    m_source.setInsertMode(wasInserting);
    m_source.markItem(entry);
}

// `key` is the entry's, as the known-entry lookup worked it out.
void EntryFiler::addCurrentItem(const DataItemPtr &entry, const DuplicateIndex::Key &key)
{
    QDateTime date = EntryDate::resolve(*entry);
    date = date.isValid() ? EntryDate::correctedForFuture(date, m_clock.now()) : m_clock.now();
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    entry->setObject(QVariant(date), {&keys.originalDate, &keys.parsedDate});

    if (!m_source.insertMode()) {
        m_source.addItem(entry);
        m_duplicates.add(entry, key);
        return;
    }
    // Found late: more than four hours older than the newest entry shown, it is history.
    const qint64 age = FeedDate::ageInHours(date, m_clock);
    const DataItemPtr newest = m_source.numberOfItems() > 0 ? m_source.objectAtIndex(0) : nullptr;
    if (newest && FeedDate::ageInHours(newest->originalDate(), m_clock) - age < -4) {
        m_source.setInsertMode(false);
        m_source.addItem(entry);
        m_duplicates.add(entry, key);
        m_source.setInsertMode(true);
    } else {
        m_newList.append(entry);
    }
}

// Arrivals are filed oldest first, so the newest ends on top and is announced last.
void EntryFiler::fileNewList()
{
    std::stable_sort(m_newList.begin(), m_newList.end(), [](const DataItemPtr &a, const DataItemPtr &b) {
        return a->parsedDate() < b->parsedDate();
    });
    for (const DataItemPtr &item : std::as_const(m_newList))
        m_source.addItem(item);
}
