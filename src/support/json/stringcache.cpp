#include "stringcache.h"

#include "bytehash.h"
#include "utf8.h"

#include <cstring>

QString StringCache::string(const char *bytes, qsizetype length)
{
    const quint64 hash = hashOfBytes(bytes, length);
    Slot &slot = m_slots[hash % kSlotCount];
    if (slot.hash == hash && slot.length == length && std::memcmp(slot.bytes, bytes, size_t(length)) == 0)
        return slot.string;
    QString string = stringFromUtf8(bytes, length);
    // A string takes the slot when it comes again: one-off values (ids, dates, links) would
    // otherwise push out the keys and labels that do repeat, and pay for it besides.
    if (slot.candidate == hash) {
        slot.hash = hash;
        slot.length = length;
        std::memcpy(slot.bytes, bytes, size_t(length));
        slot.string = string;
    } else {
        slot.candidate = hash;
    }
    return string;
}
