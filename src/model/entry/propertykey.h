#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <cstdint>

// The name of one property of an entry, one pointer wide. Names are interned once for the whole
// process, so the thousands of entries that share a dozen names hold no copies of them. The table is
// bounded: once it is full (a feed inventing element names without end), a new name is held by the
// key itself, as is a name too long to be an element name anyone repeats. Keys are immutable values; any
// thread may intern, copy and compare them.
class PropertyKey {
public:
    PropertyKey() = default; // the empty name
    explicit PropertyKey(QStringView name);
    explicit PropertyKey(QLatin1StringView name);
    PropertyKey(const PropertyKey &other) : m_bits(other.isInterned() ? other.m_bits : copyOfOwned(other)) {}
    PropertyKey(PropertyKey &&other) noexcept : m_bits(other.m_bits) { other.m_bits = 0; }
    PropertyKey &operator=(const PropertyKey &other);
    PropertyKey &operator=(PropertyKey &&other) noexcept
    {
        if (this != &other) {
            if (!isInterned())
                release();
            m_bits = other.m_bits;
            other.m_bits = 0;
        }
        return *this;
    }
    ~PropertyKey()
    {
        if (!isInterned())
            release();
    }

    // The name; an empty string for a default or moved-from key.
    const QString &name() const
    {
        return m_bits ? *reinterpret_cast<const QString *>(m_bits & ~ownedBit) : emptyName();
    }
    bool isInterned() const { return (m_bits & ownedBit) == 0; }

    // An interned name has one entry, and a name held by a key was never interned.
    friend bool operator==(const PropertyKey &a, const PropertyKey &b)
    {
        return a.m_bits == b.m_bits || (!a.isInterned() && !b.isInterned() && a.name() == b.name());
    }

    // How many names the process-wide table holds at most, and how long each may be.
    static constexpr int tableCapacity = 512;
    static constexpr int longestInternedName = 64;

private:
    static constexpr std::uintptr_t ownedBit = 1;

    static std::uintptr_t bitsFor(QStringView name);
    static const QString &emptyName();
    static std::uintptr_t copyOfOwned(const PropertyKey &other);
    void release();

    std::uintptr_t m_bits = 0; // a const QString *; with ownedBit set, one this key owns
};
