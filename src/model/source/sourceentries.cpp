#include "model/source/sourceentries.h"

#include "model/dates/feeddate.h"

void SourceEntries::assign(QList<DataItemPtr> items)
{
    m_items = std::move(items);
    m_filingIndexBuilt = false;
}

FilingIndex::Place SourceEntries::placeOf(const DataItem &item, quint64 orderChanges)
{
    return filingIndex(orderChanges).place(item.sequence(), item.parsedDateMsecs());
}

void SourceEntries::insert(qsizetype position, const DataItemPtr &item)
{
    m_items.insert(position, item);
    if (m_filingIndexBuilt)
        m_filingIndex.insert(position, item->sequence(), item->parsedDateMsecs());
}

bool SourceEntries::remove(const DataItemPtr &item)
{
    const qsizetype position = m_items.indexOf(item);
    if (position < 0)
        return false;
    m_items.removeAt(position);
    if (m_filingIndexBuilt)
        m_filingIndex.remove(position);
    return true;
}

int SourceEntries::countShown(int ageLimitDays, int limit, const Clock &clock, const QString &sourceName)
{
    int count = 0;
    QList<qsizetype> strange;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const DataItemPtr &item = m_items.at(i);
        if (!item) {
            qWarning("strange item in DataSource (%s) : null", qPrintable(sourceName));
            strange.prepend(i);
            continue;
        }
        if (qint64(ageLimitDays) * 24 <= FeedDate::ageInHours(item->parsedDate(), clock))
            break;
        ++count;
        if (limit != 0 && count > limit) {
            count = limit;
            break;
        }
    }
    for (qsizetype index : strange)
        m_items.removeAt(index);
    if (!strange.isEmpty())
        m_filingIndexBuilt = false;
    return count;
}

// The counter is read before the entries' keys, so that a change made while they are read makes
// the next filing read them again.
const FilingIndex &SourceEntries::filingIndex(quint64 orderChanges)
{
    if (!m_filingIndexBuilt || orderChanges != m_filingIndexChanges) {
        m_filingIndex.rebuild(m_items);
        m_filingIndexBuilt = true;
        m_filingIndexChanges = orderChanges;
    }
    return m_filingIndex;
}
