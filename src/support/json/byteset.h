#pragma once

#include <QByteArrayView>
#include <array>

// A set of byte values, the byte scanner's counterpart of a character set.
class ByteSet {
public:
    constexpr ByteSet() = default;
    constexpr explicit ByteSet(QByteArrayView members)
    {
        for (char c : members)
            m_members[static_cast<unsigned char>(c)] = true;
    }

    constexpr bool contains(char c) const { return m_members[static_cast<unsigned char>(c)]; }

    // The bytes the C library classifies as space: space, tab, line feed, vertical tab, form feed, return.
    static constexpr ByteSet whitespace() { return ByteSet(QByteArrayView(" \t\n\v\f\r")); }

private:
    std::array<bool, 256> m_members{};
};
