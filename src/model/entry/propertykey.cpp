#include "model/entry/propertykey.h"

#include "model/entry/itemkeys.h"

#include <QHashFunctions>
#include <QVarLengthArray>
#include <array>
#include <atomic>
#include <mutex>

namespace {

// Open addressing at most half full. Readers take no lock: a slot, once filled, never changes.
class InternTable {
public:
    InternTable()
    {
        for (QLatin1StringView key : ItemKey::stored)
            intern(QString(key));
    }
    ~InternTable()
    {
        for (const auto &slot : m_slots)
            delete slot.load(std::memory_order_relaxed);
    }
    InternTable(const InternTable &) = delete;
    InternTable &operator=(const InternTable &) = delete;

    // The interned copy of the name; nullptr when the name is new and the table full, or too long.
    const QString *intern(QStringView name)
    {
        if (name.size() > PropertyKey::longestInternedName)
            return nullptr;
        const size_t hash = qHash(name, QHashSeed::globalSeed());
        size_t slot = 0;
        if (const QString *found = find(name, hash, slot))
            return found;
        std::lock_guard guard(m_insertLock);
        if (const QString *found = find(name, hash, slot))
            return found;
        if (m_count >= PropertyKey::tableCapacity)
            return nullptr;
        const QString *entry = new QString(name.toString());
        m_slots[slot].store(entry, std::memory_order_release);
        ++m_count;
        return entry;
    }

private:
    // The entry for the name, or nullptr with `slot` at the free slot where it would go.
    const QString *find(QStringView name, size_t hash, size_t &slot) const
    {
        for (slot = hash % m_slots.size();; slot = (slot + 1) % m_slots.size()) {
            const QString *entry = m_slots[slot].load(std::memory_order_acquire);
            if (!entry || *entry == name)
                return entry;
        }
    }

    std::array<std::atomic<const QString *>, 2 * PropertyKey::tableCapacity> m_slots{};
    std::mutex m_insertLock;
    int m_count = 0; // under m_insertLock
};

InternTable &internTable()
{
    static InternTable table;
    return table;
}

} // namespace

PropertyKey::PropertyKey(QStringView name) : m_bits(bitsFor(name)) {}

PropertyKey::PropertyKey(QLatin1StringView name)
{
    QVarLengthArray<char16_t, 64> wide(name.size());
    for (qsizetype i = 0; i < name.size(); ++i)
        wide[i] = static_cast<unsigned char>(name[i].toLatin1());
    m_bits = bitsFor(QStringView(wide.constData(), wide.size()));
}

std::uintptr_t PropertyKey::copyOfOwned(const PropertyKey &other)
{
    return reinterpret_cast<std::uintptr_t>(new QString(other.name())) | ownedBit;
}

PropertyKey &PropertyKey::operator=(const PropertyKey &other)
{
    if (this != &other)
        *this = PropertyKey(other);
    return *this;
}

const QString &PropertyKey::emptyName()
{
    static const QString empty;
    return empty;
}

std::uintptr_t PropertyKey::bitsFor(QStringView name)
{
    if (const QString *interned = internTable().intern(name))
        return reinterpret_cast<std::uintptr_t>(interned);
    return reinterpret_cast<std::uintptr_t>(new QString(name.toString())) | ownedBit;
}

void PropertyKey::release()
{
    if (!isInterned())
        delete reinterpret_cast<const QString *>(m_bits & ~ownedBit);
    m_bits = 0;
}
