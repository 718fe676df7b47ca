#include "model/source/filingindex.h"

#include <algorithm>
#include <limits>

namespace {

// A number stops the walk when it is smaller than the entry's, and a date when it is earlier: the
// largest values never do, so they stand for none.
constexpr int noSequenceKey = std::numeric_limits<int>::max();
constexpr qint64 noDateKey = std::numeric_limits<qint64>::max();

int sequenceKey(int sequence)
{
    return sequence == 0 ? noSequenceKey : sequence;
}

qint64 dateKey(qint64 date)
{
    return date == DataItem::noDate ? noDateKey : date;
}

} // namespace

void FilingIndex::rebuild(const QList<DataItemPtr> &items)
{
    clear();
    const auto count = size_t(items.size());
    m_sequences.reserve(count);
    m_dates.reserve(count);
    m_lowestSequence.reserve(count);
    m_earliestDate.reserve(count);
    for (const DataItemPtr &item : items) {
        m_sequences.push_back(item ? item->sequence() : 0);
        m_dates.push_back(item ? item->parsedDateMsecs() : DataItem::noDate);
    }
    int lowest = noSequenceKey;
    qint64 earliest = noDateKey;
    for (size_t i = 0; i < m_sequences.size(); ++i) {
        m_lowestSequence.push_back(lowest = std::min(lowest, sequenceKey(m_sequences[i])));
        m_earliestDate.push_back(earliest = std::min(earliest, dateKey(m_dates[i])));
    }
}

void FilingIndex::clear()
{
    m_sequences.clear();
    m_dates.clear();
    m_lowestSequence.clear();
    m_earliestDate.clear();
}

FilingIndex::Place FilingIndex::place(int sequence, qint64 date) const
{
    // Most entries of a feed are older than those before them: the last minimums settle that.
    if (m_sequences.empty() ||
        (m_lowestSequence.back() >= sequence && (date == DataItem::noDate || m_earliestDate.back() >= date)))
        return {size(), 0};
    const auto smallerNumber = std::partition_point(m_lowestSequence.cbegin(), m_lowestSequence.cend(),
                                                    [sequence](int lowest) { return lowest >= sequence; });
    qsizetype position = smallerNumber - m_lowestSequence.cbegin();
    if (date != DataItem::noDate) {
        const auto earlierDate = std::partition_point(m_earliestDate.cbegin(), m_earliestDate.cend(),
                                                      [date](qint64 earliest) { return earliest >= date; });
        position = std::min(position, qsizetype(earlierDate - m_earliestDate.cbegin()));
    }
    if (position == size())
        return {position, 0};
    // The walk asks for a smaller number first, so that decides an element that has both.
    const int found = m_sequences[size_t(position)];
    return {position, sequenceKey(found) < sequence ? 0 : found};
}

void FilingIndex::insert(qsizetype position, int sequence, qint64 date)
{
    const auto at = size_t(position);
    m_sequences.insert(m_sequences.begin() + position, sequence);
    m_dates.insert(m_dates.begin() + position, date);
    m_lowestSequence.insert(
        m_lowestSequence.begin() + position,
        std::min(at > 0 ? m_lowestSequence[at - 1] : noSequenceKey, sequenceKey(sequence)));
    m_earliestDate.insert(m_earliestDate.begin() + position,
                          std::min(at > 0 ? m_earliestDate[at - 1] : noDateKey, dateKey(date)));
    lowerMinimumsFrom(position + 1, sequenceKey(sequence), dateKey(date));
}

void FilingIndex::remove(qsizetype position)
{
    m_sequences.erase(m_sequences.begin() + position);
    m_dates.erase(m_dates.begin() + position);
    m_lowestSequence.erase(m_lowestSequence.begin() + position);
    m_earliestDate.erase(m_earliestDate.begin() + position);
    recomputeMinimumsFrom(position);
}

// The minimums behind a new element take its keys where theirs are larger: a leading run, as the
// minimums never grow.
void FilingIndex::lowerMinimumsFrom(qsizetype position, int sequenceKey, qint64 dateKey)
{
    for (size_t i = size_t(position); i < m_lowestSequence.size() && m_lowestSequence[i] > sequenceKey; ++i)
        m_lowestSequence[i] = sequenceKey;
    for (size_t i = size_t(position); i < m_earliestDate.size() && m_earliestDate[i] > dateKey; ++i)
        m_earliestDate[i] = dateKey;
}

// After a removal the minimums from there on are those of one element later, unless the removed
// element held one of them; once a recomputed pair equals the stored one, every later pair does.
void FilingIndex::recomputeMinimumsFrom(qsizetype position)
{
    for (size_t i = size_t(position); i < m_sequences.size(); ++i) {
        const int lowest =
            std::min(i > 0 ? m_lowestSequence[i - 1] : noSequenceKey, sequenceKey(m_sequences[i]));
        const qint64 earliest = std::min(i > 0 ? m_earliestDate[i - 1] : noDateKey, dateKey(m_dates[i]));
        if (lowest == m_lowestSequence[i] && earliest == m_earliestDate[i])
            break;
        m_lowestSequence[i] = lowest;
        m_earliestDate[i] = earliest;
    }
}
