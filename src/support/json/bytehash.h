#pragma once

#include <QtEndian>

// A quick hash of a short run of bytes, for the caches of one reader: cheap, and spread enough for
// the texts of one document. A collision there only costs a miss.
inline quint64 hashOfBytes(const char *bytes, qsizetype length)
{
    constexpr quint64 kMultiplier = 0x9E3779B97F4A7C15ULL;
    quint64 hash = quint64(length) * kMultiplier;
    const char *p = bytes;
    const char *const end = bytes + length;
    for (; end - p > 8; p += 8)
        hash = (hash ^ qFromUnaligned<quint64>(p)) * kMultiplier;
    // The last one to eight bytes, in loads that overlap rather than run past the end.
    const qsizetype left = end - p;
    quint64 tail = 0;
    if (left >= 4)
        tail = quint64(qFromUnaligned<quint32>(p)) << 32 | qFromUnaligned<quint32>(end - 4);
    else if (left > 0)
        tail = quint64(quint8(p[0])) << 16 | quint64(quint8(p[left / 2])) << 8 | quint8(end[-1]);
    hash = (hash ^ tail) * kMultiplier;
    return hash ^ (hash >> 32);
}
