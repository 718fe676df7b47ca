#pragma once

#include <QString>
#include <array>

// Remembers recently read short strings, so that the keys and the repeated values (labels,
// categories, ids) of the many objects of one document share one copy instead of allocating
// their own. Bounded: a fixed number of slots holding short strings only.
class StringCache {
public:
    // Longer strings are not worth remembering.
    static constexpr qsizetype kMaxLength = 40;

    // The string for the bytes, which must be valid UTF-8 and at most kMaxLength long.
    QString string(const char *bytes, qsizetype length);

private:
    static constexpr size_t kSlotCount = 512;
    struct Slot {
        quint64 hash = 0;
        qsizetype length = -1;
        quint64 candidate = 0;  // the hash of the last string that missed here
        char bytes[kMaxLength]; // the UTF-8 form, compared before the string is reused
        QString string;
    };
    std::array<Slot, kSlotCount> m_slots;
};
