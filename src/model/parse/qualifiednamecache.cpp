#include "model/parse/qualifiednamecache.h"

#include <cstdint>

namespace {

bool ownedBy(xmlDictPtr dictionary, const xmlChar *name)
{
    return dictionary && xmlDictOwns(dictionary, name) == 1;
}

} // namespace

QualifiedNameCache::QualifiedNameCache() : m_slots(64) {}

const QString &QualifiedNameCache::get(const xmlChar *localName, const xmlChar *prefix, xmlDictPtr dictionary)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = slotOf(localName, prefix);
    for (; m_slots[i].localName; i = (i + 1) & mask) {
        if (m_slots[i].localName == localName && m_slots[i].prefix == prefix)
            return m_slots[i].name;
    }
    return add(i, localName, prefix, dictionary);
}

size_t QualifiedNameCache::slotOf(const xmlChar *localName, const xmlChar *prefix) const
{
    const auto key =
        reinterpret_cast<std::uintptr_t>(localName) ^ (reinterpret_cast<std::uintptr_t>(prefix) >> 1);
    return static_cast<size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ULL) >> 32) &
           (m_slots.size() - 1);
}

const QString &QualifiedNameCache::add(size_t slot, const xmlChar *localName, const xmlChar *prefix,
                                       xmlDictPtr dictionary)
{
    QString name = QString::fromUtf8(reinterpret_cast<const char *>(localName));
    if (prefix)
        name = QString::fromUtf8(reinterpret_cast<const char *>(prefix)) + u':' + name;
    if (!ownedBy(dictionary, localName) || (prefix && !ownedBy(dictionary, prefix))) {
        m_uncached = std::move(name);
        return m_uncached;
    }
    if (2 * (m_used + 1) > m_slots.size()) {
        grow();
        slot = slotOf(localName, prefix);
        while (m_slots[slot].localName)
            slot = (slot + 1) & (m_slots.size() - 1);
    }
    ++m_used;
    m_slots[slot] = {localName, prefix, std::move(name)};
    return m_slots[slot].name;
}

void QualifiedNameCache::grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (Slot &slot : old) {
        if (!slot.localName)
            continue;
        size_t i = slotOf(slot.localName, slot.prefix);
        while (m_slots[i].localName)
            i = (i + 1) & (m_slots.size() - 1);
        m_slots[i] = std::move(slot);
    }
}
