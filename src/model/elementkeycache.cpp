#include "model/elementkeycache.h"

#include <cstdint>

PropertyKey ElementKeyCache::keyFor(const QString &name)
{
    Slot &slot = slotFor(name);
    if (slot.name.constData() == name.constData() && slot.name.size() == name.size() && !name.isNull())
        return slot.key;
    PropertyKey key(QStringView{name});
    // Raw data may change under the pointer: no slot is filled from it.
    if (name.data_ptr().d)
        slot = {name, key};
    return key;
}

void ElementKeyCache::clear()
{
    m_slots.fill(Slot{});
}

ElementKeyCache::Slot &ElementKeyCache::slotFor(const QString &name)
{
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(name.constData()));
    return m_slots[size_t((address * 0x9E3779B97F4A7C15ULL) >> 59)];
}
