#pragma once

#include "model/entry/propertykey.h"

#include <QString>
#include <array>

// The property key of each element name in a parse, found by the name's string data instead of
// its text. The parser hands over one shared string for every occurrence of a name, so a few
// dozen names come back thousands of times; interning each would hash it again.
//
// A slot keeps a copy of the string it was filled from. While that copy shares the data, nobody
// can change or free it, so a name with the same data and length is the same text. Strings that
// merely point at memory they do not own are never kept.
//
// One cache serves one parse, on its thread, and goes with it.
class ElementKeyCache {
public:
    PropertyKey keyFor(const QString &name);

private:
    struct Slot {
        QString name;
        PropertyKey key;
    };

    size_t homeSlot(const QString &name) const;

    static constexpr size_t probes = 4;
    std::array<Slot, 64> m_slots;
};
