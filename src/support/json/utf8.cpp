#include "utf8.h"

#include "support/stringadditions.h"
#include "support/utf8sequence.h"

#include <QStringDecoder>
#include <cstdint>
#include <cstring>

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
        const int length = Utf8Sequence::length(lead);
        if (length == 0 || stop - p < length)
            return false;
        if (length > 1) {
            if (!Utf8Sequence::secondByteFits(lead, p[1]))
                return false;
            for (int i = 2; i < length; ++i) {
                if (!Utf8Sequence::isContinuation(p[i]))
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
