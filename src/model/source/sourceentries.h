#pragma once

#include "model/entry/dataitem.h"
#include "model/source/filingindex.h"

#include <QList>
#include <QString>

class Clock;

// A source's entries in display order (index 0 newest), with the index that finds where an entry
// goes without walking them, and the bounds that say how many of them are shown. Not locked: its
// source holds its lock around every call.
class SourceEntries {
public:
    const QList<DataItemPtr> &list() const { return m_items; }
    qsizetype size() const { return m_items.size(); }
    DataItemPtr at(qsizetype index) const
    {
        return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
    }

    // Replaces every entry, as when an item file is read.
    void assign(QList<DataItemPtr> items);
    // Where the ordered insertion puts the entry: before the first element with a non-zero number
    // smaller than the entry's or an earlier date, inheriting that element's number when the date
    // decided. `orderChanges` counts the changes of entries' keys made by others (the source's
    // entryOrderChanges()).
    FilingIndex::Place placeOf(const DataItem &item, quint64 orderChanges);
    void insert(qsizetype position, const DataItemPtr &item);
    // False when the entry is not among them.
    bool remove(const DataItemPtr &item);
    template <typename Predicate> qsizetype removeIf(Predicate predicate)
    {
        const qsizetype removed = m_items.removeIf(predicate);
        if (removed > 0)
            m_filingIndexBuilt = false;
        return removed;
    }

    // How many are shown: the leading run of entries younger than the age limit in days, cut at
    // the limit (0 for none). A null entry is dropped, with a warning that names the source.
    int countShown(int ageLimitDays, int limit, const Clock &clock, const QString &sourceName);

private:
    // Rebuilt when an entry's keys were changed by others since it was made.
    const FilingIndex &filingIndex(quint64 orderChanges);

    QList<DataItemPtr> m_items;
    FilingIndex m_filingIndex; // mirrors m_items while m_filingIndexBuilt
    bool m_filingIndexBuilt = false;
    quint64 m_filingIndexChanges = 0; // entryOrderChanges() when the index was built
};
