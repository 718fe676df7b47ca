#pragma once

#include "model/entry/dataitem.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVarLengthArray>

// Finds, among a source's items, the first one that a newly parsed entry repeats or updates,
// without comparing the entry with every item.
//
// An item repeats the entry when their link, title and description are equal (strings compared
// trimmed); it is updated by the entry when it has a non-empty guid equal to the entry's and the
// three are not all equal. Of several such items the first in the source's order wins.
class DuplicateIndex {
public:
    enum class Match { None, Known, Update };
    // What an entry is filed under, so that find() and add() need not read or hash it again.
    struct Key {
        size_t contentHash = 0;
        QString guid;         // null unless the entry's guid is a string
        bool indexed = false; // the guid is not blank
        size_t guidHash = 0;  // of the guid, when indexed
    };
    struct Result {
        Match match = Match::None;
        DataItemPtr item;
    };

    // Indexes the items, in the source's order, with room for `expectedEntries` more.
    void rebuild(const QList<DataItemPtr> &items, qsizetype expectedEntries = 0);
    void clear();
    void add(const DataItemPtr &item);
    // Adds an item under its keyOf().
    void add(const DataItemPtr &item, const Key &key);
    void remove(const DataItemPtr &item);

    // What the item is filed under: a hash of its compared content (equal hashes are confirmed by
    // comparing) and its guid.
    static Key keyOf(const DataItem &item);

    // `entryKey` is keyOf(entry); `items` is the source's current list, which orders several
    // candidates.
    Result find(const DataItem &entry, const Key &entryKey, const QList<DataItemPtr> &items) const;

private:
    struct GuidEntry {
        QString guid;
        DataItemPtr item;
    };

    // Nearly every key holds one item: it stays inside the table, with no list of its own.
    using Bucket = QVarLengthArray<DataItemPtr, 1>;
    QHash<size_t, Bucket> m_byContent;
    // By the guid's hash, worked out once per entry; equal hashes are confirmed by the guid.
    QHash<size_t, QVarLengthArray<GuidEntry, 1>> m_byGuid;
};
