#pragma once

#include "model/dataitem.h"

#include <QHash>
#include <QList>
#include <QString>

// Finds, among a source's items, the first one that a newly parsed entry repeats or updates,
// without comparing the entry with every item.
//
// An item repeats the entry when their link, title and description are equal (strings compared
// trimmed); it is updated by the entry when it has a non-empty guid equal to the entry's and the
// three are not all equal. Of several such items the first in the source's order wins.
class DuplicateIndex {
public:
    enum class Match { None, Known, Update };
    struct Result {
        Match match = Match::None;
        DataItemPtr item;
        // The entry's content hash, for add() when the entry is filed.
        size_t entryHash = 0;
    };

    // Indexes the items, in the source's order.
    void rebuild(const QList<DataItemPtr> &items);
    void add(const DataItemPtr &item);
    // Adds an entry find() was asked about, with the hash find() worked out for it.
    void add(const DataItemPtr &item, size_t entryHash);
    void remove(const DataItemPtr &item);

    // `items` is the source's current list, which orders several candidates.
    Result find(const DataItem &entry, const QList<DataItemPtr> &items) const;

private:
    // Items are filed by a hash of their compared content; equal hashes are confirmed by comparing.
    static size_t contentHash(const DataItem &item);
    static QString guidOf(const DataItem &item);

    QHash<size_t, QList<DataItemPtr>> m_byContent;
    QHash<QString, QList<DataItemPtr>> m_byGuid;
};
