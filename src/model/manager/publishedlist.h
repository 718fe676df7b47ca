#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <iterator>
#include <memory>

// The merged list as readers see it: the entries brought in from the arrival queue since the last
// merge, newest first, on top of the list that merge published. Both parts are shared and never
// change, so a copy costs two reference counts and stays as it is whatever is published later.
class PublishedList {
public:
    using Part = std::shared_ptr<const QList<DataItemPtr>>;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = DataItemPtr;
        using difference_type = qsizetype;
        using pointer = const DataItemPtr *;
        using reference = const DataItemPtr &;

        const_iterator() = default;
        const_iterator(const PublishedList *list, qsizetype index) : m_list(list), m_index(index) {}
        reference operator*() const { return m_list->at(m_index); }
        pointer operator->() const { return &m_list->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++m_index;
            return before;
        }
        const_iterator operator+(qsizetype steps) const { return {m_list, m_index + steps}; }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }

    private:
        const PublishedList *m_list = nullptr;
        qsizetype m_index = 0;
    };

    PublishedList() = default;
    // `front` may be null when nothing was brought in.
    explicit PublishedList(Part merged, Part front = nullptr)
        : m_front(std::move(front)), m_merged(std::move(merged))
    {
    }

    qsizetype size() const { return frontSize() + mergedSize(); }
    bool isEmpty() const { return size() == 0; }
    // Entry k, 0 the newest.
    const DataItemPtr &at(qsizetype k) const
    {
        const qsizetype front = frontSize();
        return k < front ? m_front->at(k) : m_merged->at(k - front);
    }
    const DataItemPtr &first() const { return at(0); }
    bool contains(const DataItemPtr &item) const;
    QList<DataItemPtr> toList() const;

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    qsizetype frontSize() const { return m_front ? m_front->size() : 0; }
    qsizetype mergedSize() const { return m_merged ? m_merged->size() : 0; }

    Part m_front;
    Part m_merged;
};
