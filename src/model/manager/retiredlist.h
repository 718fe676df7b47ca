#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <memory>
#include <mutex>
#include <vector>

// Where a published list goes once its last reader has dropped it: the next merge takes the
// references it holds for the entries it publishes again, instead of counting new ones on
// entries that lie scattered in memory. Retiring only moves the list here, so that a reader on the
// main thread never pays for releasing one; the merge that takes the latest releases the older
// ones. Any thread.
class RetiredList {
public:
    // The list as an immutable snapshot for readers, retired here once nobody holds it. The
    // snapshot keeps this object alive.
    static std::shared_ptr<const QList<DataItemPtr>> share(QList<DataItemPtr> list,
                                                           const std::shared_ptr<RetiredList> &retired);

    // The latest retired list, or an empty one, after releasing the older ones on the calling
    // thread; this object keeps none afterwards.
    QList<DataItemPtr> take();

private:
    void retire(QList<DataItemPtr> list);

    std::mutex m_lock;
    std::vector<QList<DataItemPtr>> m_lists; // oldest first; each was published by a merge
};
