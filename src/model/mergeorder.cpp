#include "model/mergeorder.h"

#include <algorithm>
#include <vector>

QList<DataItemPtr> MergeOrder::arrange(const QList<DataItemPtr> &collected, const OneShots &oneShots)
{
    // The keys are read once; comparing through the items would lock them at every step.
    struct Record {
        int sequence;
        qint64 date;
        qsizetype index;
    };
    std::vector<Record> records;
    records.reserve(size_t(collected.size()));
    for (qsizetype i = 0; i < collected.size(); ++i)
        records.push_back({collected.at(i)->sequence(), collected.at(i)->parsedDateMsecs(), i});
    std::sort(records.begin(), records.end(), [](const Record &a, const Record &b) {
        if (a.sequence != b.sequence)
            return a.sequence > b.sequence;
        if (a.date != b.date)
            return a.date > b.date;
        return a.index < b.index;
    });

    QList<DataItemPtr> list;
    list.reserve(collected.size());
    for (const Record &record : records) {
        const DataItemPtr &item = collected.at(record.index);
        if (oneShots.markAllUnread) {
            item->setRead(false);
            item->setHidden(false);
        }
        if (oneShots.markAllRead)
            item->setRead(true);
        if (oneShots.hideAll || (oneShots.hide && item->read())) {
            item->setHidden(true);
            continue;
        }
        list.append(item);
    }
    return list;
}
