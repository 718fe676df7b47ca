#include "model/entry/dataitemrecord.h"

#include "model/entry/dataitem.h"
#include "platform/archivereader.h"
#include "platform/archivewriter.h"

#include <algorithm>
#include <vector>

namespace {

// The keys of the record read last on this thread, by position, with the reader's identity of
// each. Every prefix of the list is the distinct keys of a record, so while a record repeats them
// in order its keys need neither a look-up nor a check for a key said twice.
struct RecentKey {
    const void *identity = nullptr;
    PropertyKey key;
};

} // namespace

void DataItemRecord::encode(const DataItem &item, ArchiveWriter &coder)
{
    QVariantMap properties;
    {
        std::lock_guard guard(item.m_lock);
        properties = item.propertiesLocked();
    }
    coder.encodeObject(properties);
    coder.encodeBool(item.marked());
    coder.encodeBool(item.shown());
    coder.encodeBool(item.read());
    coder.encodeBool(item.hidden());
}

// The item is this thread's alone until returned: no lock is taken.
std::shared_ptr<DataItem> DataItemRecord::decode(ArchiveReader &coder)
{
    thread_local std::vector<RecentKey> recent;
    auto item = std::make_shared<DataItem>();
    // The records of a file are alike: the list is sized for as many properties as the last one.
    item->m_properties.reserve(recent.size());
    size_t position = 0;
    bool repeating = true; // every key so far was the recent key at its position
    const bool intact = coder.decodeDictionary([&](const ArchiveReader::Key &key, QVariant &&value) {
        if (repeating && key.identity && position < recent.size() &&
            recent[position].identity == key.identity) {
            item->addPropertyLocked(recent[position].key, std::move(value));
        } else {
            const bool added = addProperty(*item, key.name, std::move(value));
            if (repeating) {
                recent.resize(position);
                repeating = added && key.identity;
                if (repeating)
                    recent.push_back({key.identity, item->m_properties.back().key});
            }
        }
        ++position;
    });
    if (!intact)
        return nullptr;
    const auto marked = coder.decodeBool();
    const auto shown = coder.decodeBool();
    const auto read = coder.decodeBool();
    const auto hidden = coder.decodeBool();
    if (!marked || !shown || !read || !hidden)
        return nullptr;
    item->m_mergeReads.marked = *marked;
    item->m_mergeReads.shown = *shown;
    item->m_mergeReads.read = *read;
    item->m_mergeReads.hidden = *hidden;
    item->updateQuickReadsFromListLocked();
    return item;
}

bool DataItemRecord::addProperty(DataItem &item, const QString &name, QVariant &&value)
{
    PropertyKey key(QStringView{name});
    const auto found =
        std::find_if(item.m_properties.begin(), item.m_properties.end(),
                     [&key](const DataItem::Property &property) { return property.key == key; });
    if (found != item.m_properties.end()) {
        found->value = std::move(value);
        return false;
    }
    item.addPropertyLocked(std::move(key), std::move(value));
    return true;
}
