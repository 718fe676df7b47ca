#include "stringcache.h"

#include "utf8.h"

#include <algorithm>
#include <cstring>

namespace {

// Mixes the length with the first and the last eight bytes: cheap, and enough to tell apart the
// strings of one document; a collision only costs a miss.
size_t hashOf(const char *bytes, qsizetype length)
{
    const size_t edge = size_t(std::min<qsizetype>(length, 8));
    quint64 head = 0, tail = 0;
    std::memcpy(&head, bytes, edge);
    std::memcpy(&tail, bytes + length - qsizetype(edge), edge);
    const quint64 mixed = (head * 0x9E3779B97F4A7C15ULL) ^ (tail * 0xC2B2AE3D27D4EB4FULL) ^ quint64(length);
    return size_t(mixed ^ (mixed >> 29) ^ (mixed >> 47));
}

} // namespace

QString StringCache::string(const char *bytes, qsizetype length)
{
    Slot &slot = m_slots[hashOf(bytes, length) % kSlotCount];
    if (slot.length != length || std::memcmp(slot.bytes, bytes, size_t(length)) != 0) {
        slot.length = length;
        std::memcpy(slot.bytes, bytes, size_t(length));
        slot.string = stringFromUtf8(bytes, length);
    }
    return slot.string;
}
