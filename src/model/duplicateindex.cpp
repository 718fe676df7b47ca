#include "model/duplicateindex.h"

#include "model/itemkeys.h"

using namespace Qt::StringLiterals;

namespace {

void appendComparable(QString &key, const QVariant &value)
{
    if (!value.isValid())
        key += u'\x01';
    else if (value.typeId() == QMetaType::QString)
        key += u's' + value.toString().trimmed();
    else
        key += u'o' + QString::number(value.typeId()) + u':' + value.toString();
    key += QChar(0);
}

void removeFrom(QHash<QString, QList<DataItemPtr>> &index, const QString &key, const DataItemPtr &item)
{
    auto it = index.find(key);
    if (it == index.end())
        return;
    it->removeOne(item);
    if (it->isEmpty())
        index.erase(it);
}

} // namespace

void DuplicateIndex::rebuild(const QList<DataItemPtr> &items)
{
    m_byContent.clear();
    m_byGuid.clear();
    for (const DataItemPtr &item : items)
        add(item);
}

void DuplicateIndex::add(const DataItemPtr &item)
{
    m_byContent[contentKey(*item)].append(item);
    if (const QString guid = guidOf(*item); !guid.trimmed().isEmpty())
        m_byGuid[guid].append(item);
}

void DuplicateIndex::remove(const DataItemPtr &item)
{
    removeFrom(m_byContent, contentKey(*item), item);
    if (const QString guid = guidOf(*item); !guid.trimmed().isEmpty())
        removeFrom(m_byGuid, guid, item);
}

DuplicateIndex::Result DuplicateIndex::find(const DataItem &entry, const QList<DataItemPtr> &items) const
{
    const QString content = contentKey(entry);
    QList<Result> candidates;
    for (const DataItemPtr &item : m_byContent.value(content))
        candidates.append({Match::Known, item});
    const QVariant entryGuid = entry.objectForKey(ItemKey::guid);
    if (entryGuid.typeId() == QMetaType::QString) {
        for (const DataItemPtr &item : m_byGuid.value(entryGuid.toString()))
            if (contentKey(*item) != content)
                candidates.append({Match::Update, item});
    }
    if (candidates.size() <= 1)
        return candidates.isEmpty() ? Result{} : candidates.first();
    return *std::min_element(
        candidates.cbegin(), candidates.cend(),
        [&items](const Result &a, const Result &b) { return items.indexOf(a.item) < items.indexOf(b.item); });
}

// The link, title and description as compared: strings trimmed, absent values alike.
QString DuplicateIndex::contentKey(const DataItem &item)
{
    QString key;
    appendComparable(key, item.objectForKey(ItemKey::link));
    appendComparable(key, item.objectForKey(ItemKey::title));
    appendComparable(key, item.objectForKey(ItemKey::description));
    return key;
}

QString DuplicateIndex::guidOf(const DataItem &item)
{
    const QVariant guid = item.objectForKey(ItemKey::guid);
    return guid.typeId() == QMetaType::QString ? guid.toString() : QString();
}
