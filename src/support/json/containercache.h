#pragma once

#include "bytehash.h"

#include <QByteArrayView>
#include <array>
#include <cstring>

// Remembers the small containers read from one document by their text, so that an object or
// array written out again (the labels, categories and origins repeated in every entry of a feed)
// shares the container already built instead of allocating, and later freeing, a copy of its own.
// Equal text reads as an equal value only under the same reader settings: clear the cache when
// they or the document change. Bounded: a fixed number of slots holding short texts only.
template <typename Container> class ContainerCache {
public:
    // Longer texts are rarely repeated, and a miss costs their hash and copy.
    static constexpr qsizetype kMaxLength = 128;

    static bool fits(QByteArrayView text) { return text.size() <= kMaxLength; }

    // The container read from the same text before, if it is still remembered. The text must fit.
    const Container *find(QByteArrayView text) const
    {
        const quint64 hash = hashOfBytes(text.data(), text.size());
        const Slot &slot = m_slots[hash % kSlotCount];
        if (slot.hash != hash || slot.length != text.size() ||
            std::memcmp(slot.bytes, text.data(), size_t(text.size())) != 0)
            return nullptr;
        return &slot.container;
    }

    // Remembers the container when its text comes for the second time: most containers are
    // one-offs, and keeping each would only push out the ones that repeat.
    void insert(QByteArrayView text, const Container &container)
    {
        const quint64 hash = hashOfBytes(text.data(), text.size());
        Slot &slot = m_slots[hash % kSlotCount];
        if (slot.candidate != hash) {
            slot.candidate = hash;
            return;
        }
        slot.hash = hash;
        slot.length = text.size();
        std::memcpy(slot.bytes, text.data(), size_t(text.size()));
        slot.container = container;
    }

    void clear()
    {
        for (Slot &slot : m_slots) {
            slot.hash = slot.candidate = 0;
            slot.length = -1;
            slot.container = Container();
        }
    }

private:
    static constexpr size_t kSlotCount = 128;
    struct Slot {
        quint64 hash = 0;
        quint64 candidate = 0; // the hash of the last text that missed here
        qsizetype length = -1;
        char bytes[kMaxLength];
        Container container;
    };

    std::array<Slot, kSlotCount> m_slots;
};
