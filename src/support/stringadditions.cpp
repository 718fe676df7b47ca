#include "support/stringadditions.h"

#include <QUuid>
#include <cstdint>
#include <cstring>

QString StringAdditions::uuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// Stops at the first word with a high bit: text that is not ASCII usually shows it early.
bool StringAdditions::isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, p, sizeof chunk);
        if (chunk & 0x8080808080808080ULL)
            return false;
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) & 0x80)
            return false;
    return true;
}
