#pragma once

#include "model/source/datasourcedelegate.h"

#include <QList>
#include <atomic>
#include <mutex>

// Counts change reports and keeps announced arrivals, from any thread.
class RecordingDelegate : public DatasourceDelegate {
public:
    void itemsDidChangeInDatasource(Datasource *) override { ++changes; }
    void newItemInDatasource(const DataItemPtr &item, Datasource *) override
    {
        std::lock_guard guard(m_lock);
        m_arrivals.append(item);
    }

    QList<DataItemPtr> arrivals() const
    {
        std::lock_guard guard(m_lock);
        return m_arrivals;
    }

    std::atomic<int> changes = 0;

private:
    mutable std::mutex m_lock;
    QList<DataItemPtr> m_arrivals;
};
