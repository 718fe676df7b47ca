#pragma once

#include "model/entry/dataitem.h"
#include "model/manager/publishedlist.h"

#include <QList>
#include <QSet>

// The entries brought in from the arrival queue that no published merge lists yet, newest first:
// readers see them on top of the merged list, so bringing one in never copies that list. Each
// keeps the number the queue gave it when it was taken (ArrivalQueue::takenCount), which tells a
// merge whether it could have collected the entry. The manager's state lock guards it.
class ArrivalFront {
public:
    // What a merge folds in: the oldest `count` entries leave the front for its list. `duplicates`
    // are entries it listed that stay on top nevertheless, above a newer one it could not list, so
    // that the order holds: its list must leave them out.
    struct Fold {
        qsizetype count = 0;
        QSet<const DataItem *> duplicates;
    };

    void bringIn(const DataItemPtr &item, quint64 taken);
    // Null while empty.
    const PublishedList::Part &items() const { return m_items; }

    // The entries taken after `after` and up to `upTo`.
    QSet<const DataItem *> takenBetween(quint64 after, quint64 upTo) const;
    // For a merge that read the sources once `collectedFrom` entries were taken and lists `listed`
    // of those taken later: from the oldest, the entries it collected, up to the first it did not.
    Fold planFold(quint64 collectedFrom, const QSet<const DataItem *> &listed) const;
    // Only folding removes entries, at the old end, so a plan stays valid while entries come in.
    void dropOldest(qsizetype count);

private:
    PublishedList::Part m_items; // shared with readers: replaced, never changed
    QList<quint64> m_taken;      // parallel to m_items
};
