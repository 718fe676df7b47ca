#include "utf8.h"

#include "support/stringadditions.h"

#include <QStringDecoder>
#include <cstdint>
#include <cstring>

namespace {

// Length of the sequence a lead byte starts, or 0 when the byte cannot start one.
int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The second byte is the one that rules out overlong forms, surrogates and values past U+10FFFF.
bool secondByteFits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return isContinuation(second);
    }
}

} // namespace

bool isValidUtf8(const char *begin, const char *end)
{
    const auto *p = reinterpret_cast<const unsigned char *>(begin);
    const auto *const stop = reinterpret_cast<const unsigned char *>(end);
    while (p < stop) {
        // Plain ASCII dominates JSON text: skip it eight bytes at a time.
        while (stop - p >= 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, p, sizeof chunk);
            if (chunk & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == stop)
            break;
        const unsigned char lead = *p;
        const int length = sequenceLength(lead);
        if (length == 0 || stop - p < length)
            return false;
        if (length > 1) {
            if (!secondByteFits(lead, p[1]))
                return false;
            for (int i = 2; i < length; ++i) {
                if (!isContinuation(p[i]))
                    return false;
            }
        }
        p += length;
    }
    return true;
}

char16_t *decodeValidUtf8(const char *begin, const char *end, char16_t *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(begin);
    const auto *const stop = reinterpret_cast<const unsigned char *>(end);
    while (p < stop) {
        const unsigned lead = *p;
        if (lead < 0x80) {
            *out++ = char16_t(lead);
            p += 1;
        } else if (lead < 0xE0) {
            *out++ = char16_t((lead & 0x1F) << 6 | (p[1] & 0x3F));
            p += 2;
        } else if (lead < 0xF0) {
            *out++ = char16_t((lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            p += 3;
        } else {
            const char32_t c = (lead & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            *out++ = char16_t(0xD800 + ((c - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
            p += 4;
        }
    }
    return out;
}

QString stringFromUtf8(QByteArrayView bytes)
{
    // Plain ASCII, most JSON text, widens directly; the decoder costs more to set up than that.
    if (!bytes.isEmpty() && StringAdditions::isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}
