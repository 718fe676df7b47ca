#include "model/duplicateindex.h"

#include "model/itemkeys.h"

#include <QVarLengthArray>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The three values an entry is compared by: strings trimmed, absent values alike, other values
// by type and text.
struct Content {
    QVariant values[3];

    explicit Content(const DataItem &item)
        : values{item.objectForKey(ItemKey::link), item.objectForKey(ItemKey::title),
                 item.objectForKey(ItemKey::description)}
    {
    }

    static bool isString(const QVariant &value) { return value.typeId() == QMetaType::QString; }
    static QStringView trimmedText(const QVariant &value)
    {
        return QStringView(*static_cast<const QString *>(value.constData())).trimmed();
    }

    static size_t hashOf(const QVariant &value, size_t seed)
    {
        if (!value.isValid())
            return qHash(0, seed);
        if (isString(value))
            return qHash(trimmedText(value), seed);
        return qHashMulti(seed, value.typeId(), value.toString());
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

    size_t hash() const
    {
        size_t seed = 0;
        for (const QVariant &value : values)
            seed = hashOf(value, seed);
        return seed;
    }

    bool operator==(const Content &other) const
    {
        return same(values[0], other.values[0]) && same(values[1], other.values[1]) &&
               same(values[2], other.values[2]);
    }
};

// The guid when it is a string, else a null string.
QString guidOf(const DataItem &item)
{
    const QVariant guid = item.objectForKey(ItemKey::guid);
    return guid.typeId() == QMetaType::QString ? guid.toString() : QString();
}

template <typename Key, typename Bucket>
void removeFrom(QHash<Key, Bucket> &index, const Key &key, const DataItemPtr &item)
{
    auto it = index.find(key);
    if (it == index.end())
        return;
    if (const qsizetype at = it->indexOf(item); at >= 0)
        it->remove(at);
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
    if (isIndexedGuid(key.guid))
        m_byGuid[key.guid].append(item);
}

void DuplicateIndex::remove(const DataItemPtr &item)
{
    const Key key = keyOf(*item);
    removeFrom(m_byContent, key.contentHash, item);
    if (isIndexedGuid(key.guid))
        removeFrom(m_byGuid, key.guid, item);
}

DuplicateIndex::Result DuplicateIndex::find(const DataItem &entry, const QList<DataItemPtr> &items) const
{
    const Content content(entry);
    const Key key{content.hash(), guidOf(entry)};
    QVarLengthArray<Result, 4> candidates;
    if (const auto known = m_byContent.constFind(key.contentHash); known != m_byContent.cend()) {
        for (const DataItemPtr &item : *known)
            if (Content(*item) == content)
                candidates.append({Match::Known, item, key});
    }
    if (isIndexedGuid(key.guid)) {
        if (const auto updated = m_byGuid.constFind(key.guid); updated != m_byGuid.cend()) {
            for (const DataItemPtr &item : *updated)
                if (!(Content(*item) == content))
                    candidates.append({Match::Update, item, key});
        }
    }
    if (candidates.size() <= 1)
        return candidates.isEmpty() ? Result{Match::None, nullptr, key} : candidates.front();
    return *std::min_element(
        candidates.cbegin(), candidates.cend(),
        [&items](const Result &a, const Result &b) { return items.indexOf(a.item) < items.indexOf(b.item); });
}

DuplicateIndex::Key DuplicateIndex::keyOf(const DataItem &item)
{
    return {Content(item).hash(), guidOf(item)};
}

bool DuplicateIndex::isIndexedGuid(const QString &guid)
{
    return !QStringView(guid).trimmed().isEmpty();
}
