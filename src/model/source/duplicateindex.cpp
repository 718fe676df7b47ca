#include "model/source/duplicateindex.h"

#include "model/entry/itemkeys.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The keys an entry is compared by, then its guid.
const std::array<const PropertyKey *, 4> &filedKeys()
{
    static const std::array<const PropertyKey *, 4> keys = [] {
        const ItemPropertyKeys &known = ItemPropertyKeys::get();
        return std::array<const PropertyKey *, 4>{&known.link, &known.title, &known.description, &known.guid};
    }();
    return keys;
}

// The three values an entry is compared by: strings trimmed, absent values alike, other values
// by type and text.
struct Content {
    QVariant values[3];

    explicit Content(const DataItem &item)
    {
        item.readValues(filedKeys(), [this](const std::array<PropertyValue::View, 4> &read) {
            for (size_t i = 0; i < std::size(values); ++i)
                values[i] = read[i].toVariant();
        });
    }

    static bool isString(const QVariant &value) { return value.typeId() == QMetaType::QString; }
    static QStringView trimmedText(const QVariant &value)
    {
        return QStringView(*static_cast<const QString *>(value.constData())).trimmed();
    }

    // Hashed as same() compares: an absent value as an invalid one.
    static size_t hashOf(const PropertyValue::View &value, size_t seed)
    {
        if (!value.isValid())
            return qHash(0, seed);
        if (value.isText())
            return qHash(value.text().trimmed(), seed);
        const QVariant other = value.toVariant();
        return qHashMulti(seed, other.typeId(), other.toString());
    }

    static bool same(const QVariant &a, const QVariant &b)
    {
        if (a.isValid() != b.isValid())
            return false;
        if (!a.isValid())
            return true;
        if (isString(a) != isString(b))
            return false;
        if (isString(a))
            return trimmedText(a) == trimmedText(b);
        return a.typeId() == b.typeId() && a.toString() == b.toString();
    }

    bool operator==(const Content &other) const
    {
        return same(values[0], other.values[0]) && same(values[1], other.values[1]) &&
               same(values[2], other.values[2]);
    }
};

template <typename Bucket, typename IsItem>
void removeFrom(QHash<size_t, Bucket> &index, size_t key, IsItem isItem)
{
    auto it = index.find(key);
    if (it == index.end())
        return;
    if (const auto at = std::find_if(it->begin(), it->end(), isItem); at != it->end())
        it->erase(at);
    if (it->isEmpty())
        index.erase(it);
}

} // namespace

void DuplicateIndex::rebuild(const QList<DataItemPtr> &items, qsizetype expectedEntries)
{
    clear();
    m_byContent.reserve(items.size() + expectedEntries);
    m_byGuid.reserve(items.size() + expectedEntries);
    for (const DataItemPtr &item : items)
        add(item);
}

void DuplicateIndex::clear()
{
    m_byContent.clear();
    m_byGuid.clear();
}

void DuplicateIndex::add(const DataItemPtr &item)
{
    add(item, keyOf(*item));
}

void DuplicateIndex::add(const DataItemPtr &item, const Key &key)
{
    m_byContent[key.contentHash].append(item);
    if (key.indexed)
        m_byGuid[key.guidHash].append({key.guid, item});
}

void DuplicateIndex::remove(const DataItemPtr &item)
{
    const Key key = keyOf(*item);
    removeFrom(m_byContent, key.contentHash,
               [&item](const DataItemPtr &candidate) { return candidate == item; });
    if (key.indexed)
        removeFrom(m_byGuid, key.guidHash,
                   [&item](const GuidEntry &candidate) { return candidate.item == item; });
}

DuplicateIndex::Result DuplicateIndex::find(const DataItem &entry, const Key &key,
                                            const QList<DataItemPtr> &items) const
{
    // Most entries have no candidate at all: their content is read only for one.
    std::optional<Content> content;
    auto entryContent = [&]() -> const Content & {
        if (!content)
            content.emplace(entry);
        return *content;
    };
    QVarLengthArray<Result, 4> candidates;
    if (const auto known = m_byContent.constFind(key.contentHash); known != m_byContent.cend()) {
        for (const DataItemPtr &item : *known)
            if (Content(*item) == entryContent())
                candidates.append({Match::Known, item});
    }
    if (key.indexed) {
        if (const auto updated = m_byGuid.constFind(key.guidHash); updated != m_byGuid.cend()) {
            for (const GuidEntry &indexed : *updated)
                if (indexed.guid == key.guid && !(Content(*indexed.item) == entryContent()))
                    candidates.append({Match::Update, indexed.item});
        }
    }
    if (candidates.size() <= 1)
        return candidates.isEmpty() ? Result{Match::None, nullptr} : candidates.front();
    return *std::min_element(
        candidates.cbegin(), candidates.cend(),
        [&items](const Result &a, const Result &b) { return items.indexOf(a.item) < items.indexOf(b.item); });
}

// Read in one step, without copying the values.
DuplicateIndex::Key DuplicateIndex::keyOf(const DataItem &item)
{
    Key key;
    item.readValues(filedKeys(), [&key](const std::array<PropertyValue::View, 4> &values) {
        // Seeded per process, so that a feed cannot choose entries that all share one bucket.
        size_t seed = QHashSeed::globalSeed();
        for (size_t i = 0; i < 3; ++i)
            seed = Content::hashOf(values[i], seed);
        key.contentHash = seed;
        if (const PropertyValue::View &guid = values[3]; guid.isText()) {
            key.guid = guid.string();
            key.indexed = !QStringView(key.guid).trimmed().isEmpty();
            if (key.indexed)
                key.guidHash = qHash(key.guid, QHashSeed::globalSeed());
        }
    });
    return key;
}
