#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>

// What an entry knows of the source that holds it: the feed's names. Entries refer to their
// source weakly (see DataItem::datasource()), so that one outliving its source reads as having none.
class ItemSource {
public:
    virtual ~ItemSource() = default;

    // The feed's own title.
    virtual QString name() const = 0;
    // The user's name for the feed; null when there is none.
    virtual QString customName() const = 0;

    // How many times an entry referring to this source had its arrival number or date changed
    // through the entry itself. A source binds an entry only once it has filed it, so this counts
    // the changes made by others, which an order the source worked out earlier may not reflect.
    quint64 entryOrderChanges() const { return m_entryOrderChanges.load(std::memory_order_acquire); }

protected:
    ItemSource() = default;
    ItemSource(const ItemSource &) = delete;
    ItemSource &operator=(const ItemSource &) = delete;

private:
    friend class DataItem;
    std::atomic<quint64> m_entryOrderChanges = 0;
};
