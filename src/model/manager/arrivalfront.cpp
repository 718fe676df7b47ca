#include "model/manager/arrivalfront.h"

void ArrivalFront::bringIn(const DataItemPtr &item, quint64 taken)
{
    QList<DataItemPtr> items;
    items.reserve(m_taken.size() + 1);
    items.append(item);
    if (m_items)
        items.append(*m_items);
    m_items = std::make_shared<const QList<DataItemPtr>>(std::move(items));
    m_taken.prepend(taken);
}

QSet<const DataItem *> ArrivalFront::takenBetween(quint64 after, quint64 upTo) const
{
    QSet<const DataItem *> between;
    for (qsizetype i = 0; i < m_taken.size(); ++i) {
        if (m_taken.at(i) > after && m_taken.at(i) <= upTo)
            between.insert(m_items->at(i).get());
    }
    return between;
}

ArrivalFront::Fold ArrivalFront::planFold(quint64 collectedFrom, const QSet<const DataItem *> &listed) const
{
    Fold fold;
    qsizetype kept = m_taken.size();
    while (kept > 0 &&
           (m_taken.at(kept - 1) <= collectedFrom || listed.contains(m_items->at(kept - 1).get())))
        --kept;
    fold.count = m_taken.size() - kept;
    for (qsizetype i = 0; i < kept; ++i) {
        if (listed.contains(m_items->at(i).get()))
            fold.duplicates.insert(m_items->at(i).get());
    }
    return fold;
}

void ArrivalFront::dropOldest(qsizetype count)
{
    if (count == 0)
        return;
    const qsizetype kept = m_taken.size() - count;
    m_items = kept == 0 ? nullptr : std::make_shared<const QList<DataItemPtr>>(m_items->first(kept));
    m_taken.resize(kept);
}
