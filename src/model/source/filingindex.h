#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <vector>

// Where a source's ordered insertion puts an entry, found by binary search instead of a walk.
//
// The walk places an entry with arrival number s and date d before the first element that has a
// non-zero number smaller than s, or a date earlier than d; it inherits that element's number when
// the date decided. Along the list, the smallest number met so far and the earliest date met so
// far never grow, whatever the order of the elements, so the first element below a bound is where
// these running minimums first drop below it: a binary search. The index mirrors the keys of one
// list; its owner keeps it in step with each insertion and removal, and rebuilds it when it cannot.
class FilingIndex {
public:
    struct Place {
        qsizetype position; // size() when the entry goes last
        int inherited;      // the number an entry without one takes
    };

    void rebuild(const QList<DataItemPtr> &items);
    void clear();
    qsizetype size() const { return qsizetype(m_sequences.size()); }

    // Where the walk puts an entry with this number (0 for none) and date (DataItem::noDate).
    Place place(int sequence, qint64 date) const;

    // The element now at `position` has these keys; those after it move up one.
    void insert(qsizetype position, int sequence, qint64 date);
    void remove(qsizetype position);

private:
    void lowerMinimumsFrom(qsizetype position, int sequenceKey, qint64 dateKey);
    void recomputeMinimumsFrom(qsizetype position);

    // The keys of each element: its number (0 for none) and date (DataItem::noDate for none).
    std::vector<int> m_sequences;
    std::vector<qint64> m_dates;
    // The running minimums of the elements' keys, where no number and no date count as the
    // largest values, which never stop the walk.
    std::vector<int> m_lowestSequence;
    std::vector<qint64> m_earliestDate;
};
