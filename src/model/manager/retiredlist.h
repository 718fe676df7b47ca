#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <memory>
#include <mutex>

// Where a published list goes once its last reader has dropped it: the next merge takes the
// references it holds for the entries it publishes again, instead of counting new ones on
// entries that lie scattered in memory, and releases the rest. Keeps only the latest list.
// Any thread.
class RetiredList {
public:
    // The list as an immutable snapshot for readers, retired here once nobody holds it. The
    // snapshot keeps this object alive.
    static std::shared_ptr<const QList<DataItemPtr>> share(QList<DataItemPtr> list,
                                                           const std::shared_ptr<RetiredList> &retired);

    // The latest retired list, or an empty one; this object keeps none afterwards.
    QList<DataItemPtr> take();

private:
    void retire(QList<DataItemPtr> list);

    std::mutex m_lock;
    QList<DataItemPtr> m_list;
};
