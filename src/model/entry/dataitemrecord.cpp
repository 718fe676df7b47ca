#include "model/entry/dataitemrecord.h"

#include "model/entry/dataitem.h"
#include "model/entry/sharedtextblock.h"
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

// The item is this thread's alone until returned: no lock is taken. Its texts are decoded once the
// whole record is read, into one block for all of them (SharedTextBlock).
std::shared_ptr<DataItem> DataItemRecord::decode(ArchiveReader &coder)
{
    thread_local std::vector<RecentKey> recent;
    thread_local std::vector<PendingText> texts;
    texts.clear();
    auto item = std::make_shared<DataItem>();
    // The records of a file are alike: the list is sized for as many properties as the last one.
    item->m_properties.reserve(recent.size());
    size_t position = 0;
    bool repeating = true; // every key so far was the recent key at its position
    // The index of the key's property, added without a value when the key is new.
    const auto place = [&](const ArchiveReader::Key &key) {
        size_t index;
        if (repeating && key.identity && position < recent.size() &&
            recent[position].identity == key.identity) {
            index = item->m_properties.size();
            item->addPropertyLocked(recent[position].key, PropertyValue());
        } else {
            bool added = false;
            index = propertyIndex(*item, key.name, added);
            if (repeating) {
                recent.resize(position);
                repeating = added && key.identity;
                if (repeating)
                    recent.push_back({key.identity, item->m_properties.back().key});
            }
        }
        ++position;
        return index;
    };
    const bool intact = coder.decodeDictionary(
        [&](const ArchiveReader::Key &key, QVariant &&value) {
            const size_t index = place(key);
            item->m_properties[index].value = PropertyValue(value);
            // A key said again replaces the text it had, as a dictionary would.
            std::erase_if(texts, [index](const PendingText &text) { return text.index == index; });
        },
        [&](const ArchiveReader::Key &key, QByteArrayView utf8) {
            texts.push_back({place(key), utf8});
        });
    if (!intact)
        return nullptr;
    storeTexts(*item, texts);
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

size_t DataItemRecord::propertyIndex(DataItem &item, const QString &name, bool &added)
{
    PropertyKey key(QStringView{name});
    const auto found =
        std::find_if(item.m_properties.begin(), item.m_properties.end(),
                     [&key](const DataItem::Property &property) { return property.key == key; });
    added = found == item.m_properties.end();
    if (!added)
        return size_t(found - item.m_properties.begin());
    item.addPropertyLocked(std::move(key), PropertyValue());
    return item.m_properties.size() - 1;
}

// A text said twice for one key leaves the later one, as it is stored last.
void DataItemRecord::storeTexts(DataItem &item, const std::vector<PendingText> &texts)
{
    qsizetype bytes = 0;
    for (const PendingText &text : texts)
        bytes += text.utf8.size();
    SharedTextBlock block(bytes, qsizetype(texts.size()));
    for (const PendingText &text : texts) {
        const TextSlice slice = block.addUtf8(text.utf8);
        item.m_properties[text.index].value = PropertyValue::text(slice, block.view(slice));
    }
    item.m_texts = std::move(block).take();
}
