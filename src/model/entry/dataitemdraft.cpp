#include "model/entry/dataitemdraft.h"

#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"
#include "model/entry/sharedtextblock.h"
#include "model/entry/textcaps.h"

// Text arrives in runs for one key (an element's text, then the white space after it): the key
// used last is tried first.
DataItemDraft::Text *DataItemDraft::find(const PropertyKey &key)
{
    if (m_last < m_texts.size() && m_texts[m_last].key == key)
        return &m_texts[m_last];
    for (size_t i = 0; i < m_texts.size(); ++i) {
        if (m_texts[i].key == key) {
            m_last = i;
            return &m_texts[i];
        }
    }
    return nullptr;
}

// A text added to after another one (a repeated element) moves to the end of the buffer; the
// space it leaves is never copied into the item.
DataItemDraft::Text &DataItemDraft::lastText(const PropertyKey &key)
{
    Text *text = find(key);
    if (!text) {
        m_last = m_tail = m_texts.size();
        return m_texts.emplace_back(Text{key, m_units.size(), 0, unknownCap});
    }
    if (m_last != m_tail) {
        const std::u16string moved = m_units.substr(text->start, text->length);
        text->start = m_units.size();
        m_units += moved;
        m_tail = m_last;
    }
    return *text;
}

void DataItemDraft::appendText(QStringView text, const PropertyKey &key)
{
    // Most often the text continues the one that ends the buffer.
    Text *stored = m_tail < m_texts.size() && m_texts[m_tail].key == key ? &m_texts[m_tail] : &lastText(key);
    m_last = m_tail;
    const qsizetype length = qsizetype(stored->length);
    // Most texts stay short: the cap of their key is looked up only for one that grows long.
    if (stored->cap == unknownCap && length + text.size() > TextCaps::smallest)
        stored->cap = TextCaps::forKey(stored->key);
    const qsizetype kept =
        stored->cap == unknownCap ? text.size() : TextCaps::fittingLength(text, stored->cap - length);
    m_units.append(reinterpret_cast<const char16_t *>(text.utf16()), size_t(kept));
    stored->length += size_t(kept);
    if (kept < text.size())
        stored->cap = qsizetype(stored->length); // cut: nothing may follow the gap
}

// The text ends the buffer once lastText() returns, and every other text ends before it.
void DataItemDraft::setText(QStringView text, const PropertyKey &key)
{
    Text &stored = lastText(key);
    m_units.resize(stored.start);
    stored.length = 0;
    appendText(text, key);
}

void DataItemDraft::clear()
{
    m_texts.clear();
    m_units.clear();
    m_last = 0;
    m_tail = 0;
}

std::shared_ptr<DataItem> DataItemDraft::take()
{
    auto item = std::make_shared<DataItem>();
    item->m_properties.reserve(m_texts.size() + DataItem::filedPropertyCount);
    size_t units = 0;
    for (const Text &text : m_texts)
        units += text.length;
    SharedTextBlock block(qsizetype(units), qsizetype(m_texts.size()));
    // A feed may name an element after one of the program's keys.
    const ItemPropertyKeys &keys = ItemPropertyKeys::get();
    bool namesQuickRead = false;
    for (Text &text : m_texts) {
        namesQuickRead = namesQuickRead || text.key == keys.sequence || text.key == keys.parsedDate;
        const QStringView stored(m_units.data() + text.start, qsizetype(text.length));
        item->m_properties.emplace_back(std::move(text.key), PropertyValue::text(block.add(stored), stored));
    }
    item->m_texts = std::move(block).take();
    clear();
    if (namesQuickRead)
        item->updateQuickReadsFromListLocked();
    return item;
}
