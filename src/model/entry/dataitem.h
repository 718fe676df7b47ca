#pragma once

#include "model/entry/dataitemdraft.h"
#include "model/entry/itemsource.h"
#include "model/entry/propertykey.h"
#include "model/entry/propertyvalue.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <array>
#include <atomic>
#include <initializer_list>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class ArchiveReader;
class ArchiveWriter;

// One headline: one entry of one feed. A thread-safe dictionary of what the parser found in the
// entry plus the values the model adds (dates, arrival number, keyword mark), a back-reference to
// the source holding it, and the display flags.
//
// The back-reference is weak. Rows, the preview, notifications and stars hold entries that may
// outlive their source (removed from it, or the feed deleted); once the source is gone the entry
// reads as having none: datasource() is null, "datasource_name" is empty, and dictionary() and
// name() fall back to the entry's own "name". Whoever needs the source keeps what datasource()
// returns for as long as it uses it.
//
// Every access to the properties holds the item's own lock, so each read, write and dictionary()
// snapshot is atomic. The flags are atomics: read on the main thread, written on refresh threads.
class DataItem {
public:
    // Provided, not defaulted: make_shared would otherwise zero the whole object first.
    DataItem() {}
    DataItem(const DataItem &) = delete;
    DataItem &operator=(const DataItem &) = delete;

    // The entry's value for the key; the virtual keys are answered by the item itself:
    // "datasource_name" is the source's name followed by its custom name ("" without a source),
    // "datasource" the source as a std::shared_ptr<ItemSource>. An invalid QVariant when absent.
    QVariant valueForKey(const QString &key) const;
    QVariant valueForKey(QLatin1StringView key) const;
    QVariant valueForKey(const PropertyKey &key) const;
    QVariant objectForKey(const QString &key) const { return valueForKey(key); }
    QVariant objectForKey(QLatin1StringView key) const { return valueForKey(key); }
    QVariant objectForKey(const PropertyKey &key) const { return valueForKey(key); }
    // Stores the value under the key; an invalid value removes the key.
    void setObject(const QVariant &value, const QString &key);
    void setObject(const QVariant &value, QLatin1StringView key);
    void setObject(const QVariant &value, const PropertyKey &key);
    // Stores the value under each of the keys, in one locked step.
    void setObject(const QVariant &value, std::initializer_list<const PropertyKey *> keys);
    // Appends to the value under the key, read as a string, or stores the text when there is none.
    void appendText(const QString &text, const QString &key);

    // Calls `read` with the values of the keys where they are stored (invalid where absent), under
    // the item's lock, so that nothing is copied. `read` must not call the item.
    template <size_t N, typename Read>
    void readValues(const std::array<const PropertyKey *, N> &keys, Read &&read) const
    {
        std::lock_guard guard(m_lock);
        std::array<PropertyValue::View, N> values;
        for (size_t i = 0; i < N; ++i)
            if (const Property *found = findStoredLocked(*keys[i]))
                values[i] = PropertyValue::View(found->value, m_texts);
        read(values);
    }

    // A copy of the properties without "mark", with "name" set to the source's display name.
    QVariantMap dictionary() const;

    QString title() const;
    QString description() const;
    // The feed's display name (see dictionary()).
    QString name() const;
    QDateTime originalDate() const;
    QDateTime parsedDate() const;
    bool mark() const;
    // The article address: trimmed when that makes a valid URL, else with all white space removed.
    // A null string when the entry has no link.
    QString link() const;
    // "content:encoded" if present, else "description", else a null string.
    QString previewContent() const;

    // Quick reads for sorting and searching, kept in step with the dictionary.
    // The arrival number, 0 when absent.
    int sequence() const { return m_mergeReads.sequence.load(std::memory_order_relaxed); }
    // parsedDate in milliseconds since the epoch; noDate when there is none.
    qint64 parsedDateMsecs() const { return m_mergeReads.parsedDateMsecs.load(std::memory_order_relaxed); }
    static constexpr qint64 noDate = std::numeric_limits<qint64>::min();
    // The title and the description folded for searching (see TextFolding), separated by
    // searchSeparator, in UTF-8; folded once and kept until either changes.
    QByteArray foldedSearchText() const;
    static constexpr char16_t searchSeparator = u'\uffff';

    // The source holding the entry, or nullptr when it has none or it is gone.
    std::shared_ptr<ItemSource> datasource() const;
    void setDatasource(std::weak_ptr<ItemSource> source);

    bool marked() const { return m_mergeReads.marked.load(std::memory_order_relaxed); }
    bool read() const { return m_mergeReads.read.load(std::memory_order_relaxed); }
    void setRead(bool read) { m_mergeReads.read.store(read, std::memory_order_relaxed); }
    bool shown() const { return m_mergeReads.shown.load(std::memory_order_relaxed); }
    void setShown(bool shown) { m_mergeReads.shown.store(shown, std::memory_order_relaxed); }
    bool hidden() const { return m_mergeReads.hidden.load(std::memory_order_relaxed); }
    void setHidden(bool hidden) { m_mergeReads.hidden.store(hidden, std::memory_order_relaxed); }
    qint32 unmarkCount() const { return m_mergeReads.unmarkCount.load(std::memory_order_relaxed); }
    void setUnmarkCount(qint32 count) { m_mergeReads.unmarkCount.store(count, std::memory_order_relaxed); }

    // The archive record: the properties, then marked, shown, read and hidden (see DataItemRecord).
    void encodeWithCoder(ArchiveWriter &coder) const;
    // The item a record describes, without source and with unmarkCount 0; nullptr when the record
    // is damaged (the coder's errorString() says why).
    static std::shared_ptr<DataItem> initWithCoder(ArchiveReader &coder);

    // The texts of an entry being parsed (see DataItemDraft).
    using Draft = DataItemDraft;

    // Fetches ahead what merging reads of every entry while collecting them: the flags and the
    // sort keys. The entries lie scattered in memory; a hint only.
    void prefetchMergeReads() const
    {
        const char *first = reinterpret_cast<const char *>(&m_mergeReads);
        __builtin_prefetch(first);
        __builtin_prefetch(first + sizeof(m_mergeReads) - 1);
    }

private:
    friend class DataItemDraft;
    friend class DataItemRecord;

    // An entry has a dozen properties or so: a flat list searched in order beats a tree of nodes.
    struct Property {
        Property(PropertyKey name, PropertyValue &&content) : key(std::move(name)), value(std::move(content))
        {
        }
        PropertyKey key;
        PropertyValue value; // its texts lie in m_texts
    };
    static_assert(sizeof(Property) == 16);
    // Lists grow by a few at a time; most items are made at their final size.
    static constexpr size_t propertyGrowth = 4;
    // originalDate, parsedDate, sequence and mark (the keywords are set by default).
    static constexpr size_t filedPropertyCount = 4;

    template <typename Key> QVariant virtualOrProperty(const Key &key) const;
    template <typename Key> QVariant property(const Key &key) const;
    // The value under the key; an invalid QVariant when absent.
    template <typename Key> QVariant findLocked(const Key &key) const;
    const Property *findStoredLocked(const PropertyKey &key) const;
    template <typename Key> void store(const QVariant &value, const Key &key);
    // True when the key is the arrival number or the date (see noteOrderChange()).
    template <typename Key> bool storeLocked(const QVariant &value, const Key &key);
    void addPropertyLocked(PropertyKey key, PropertyValue &&value);
    template <typename Key> std::vector<Property>::iterator findPropertyLocked(const Key &key);
    // `value` is the key's value now stored, invalid when there is none.
    template <typename Key> bool updateQuickReadsLocked(const Key &key, const QVariant &value);
    // Tells the source the entry has a new arrival number or date; `source` is m_source as it was
    // under the lock, which this is called after.
    static void noteOrderChange(const std::weak_ptr<ItemSource> &source);
    void updateQuickReadsFromListLocked();
    QVariantMap propertiesLocked() const;
    QString sourceDisplayName() const;

    mutable std::mutex m_lock;
    std::vector<Property> m_properties;
    QString m_texts; // the block of the texts the entry was made with; set before it is shared
    mutable QByteArray m_foldedSearchText; // valid while m_folded is set
    mutable bool m_folded = false;
    std::weak_ptr<ItemSource> m_source; // guarded by m_lock

    // Read for every entry of every merge, so kept together: two prefetches cover them.
    struct MergeReads {
        std::atomic<bool> marked = false;
        std::atomic<bool> read = false;
        std::atomic<bool> shown = false;
        std::atomic<bool> hidden = false;
        std::atomic<qint32> unmarkCount = 0;
        std::atomic<int> sequence = 0;
        std::atomic<qint64> parsedDateMsecs = noDate;
    };
    static_assert(sizeof(MergeReads) <= 64, "prefetchMergeReads() covers one cache line's worth");
    MergeReads m_mergeReads;
};

using DataItemPtr = std::shared_ptr<DataItem>;
