#include "model/parse/elementkeycache.h"

#include <cstdint>

// A name is looked for in a few slots from its own; a new one takes the first free of them, or
// its own slot when all are taken.
PropertyKey ElementKeyCache::keyFor(const QString &name)
{
    const size_t home = homeSlot(name);
    size_t free = home;
    for (size_t probe = 0; probe < probes; ++probe) {
        Slot &slot = m_slots[(home + probe) % m_slots.size()];
        if (slot.name.isNull()) {
            free = (home + probe) % m_slots.size();
            break;
        }
        if (slot.name.constData() == name.constData() && slot.name.size() == name.size())
            return slot.key;
    }
    PropertyKey key(QStringView{name});
    // Raw data may change under the pointer: no slot is filled from it.
    if (name.data_ptr().d)
        m_slots[free] = {name, key};
    return key;
}

size_t ElementKeyCache::homeSlot(const QString &name) const
{
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(name.constData()));
    return size_t((address * 0x9E3779B97F4A7C15ULL) >> 58) % m_slots.size();
}
