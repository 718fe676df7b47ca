#include "model/feedtext.h"

#include "support/utf8sequence.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Widens the ASCII bytes at the start of [p, end) into `out`; returns how many there were. It may
// write a few units more, never more than there are bytes.
qsizetype widenAscii(const unsigned char *p, const unsigned char *end, char16_t *out)
{
    const unsigned char *const start = p;
#if defined(__SSE2__)
    // Texts are mostly ASCII and short: 16, then 8, then 4 bytes at a time.
    const __m128i zero = _mm_setzero_si128();
    const auto widened = [&](__m128i chunk, int size) {
        const int wide = _mm_movemask_epi8(chunk);
        const int ascii = wide == 0 ? size : std::countr_zero(static_cast<unsigned>(wide));
        p += ascii;
        out += ascii;
        return ascii == size;
    };
    for (; end - p >= 16;) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(chunk, zero));
        if (!widened(chunk, 16))
            return p - start;
    }
    if (end - p >= 8) {
        const __m128i chunk = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(chunk, zero));
        if (!widened(chunk, 8))
            return p - start;
    }
    if (end - p >= 4) {
        std::uint32_t word;
        std::memcpy(&word, p, sizeof word);
        const __m128i chunk = _mm_cvtsi32_si128(static_cast<int>(word));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(chunk, zero));
        if (!widened(chunk, 4))
            return p - start;
    }
#endif
    while (p < end && *p < 0x80)
        *out++ = *p++;
    return p - start;
}

// Replaces `text` with UTF-8 decoded.
void decodeUtf8(std::string_view utf8, QString &text)
{
    const auto length = static_cast<qsizetype>(utf8.size());
    text.resize(length); // never more UTF-16 units than UTF-8 bytes
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const unsigned char *const end = p + length;
    for (;;) {
        const qsizetype ascii = widenAscii(p, end, out);
        p += ascii;
        out += ascii;
        if (p == end)
            break;
        const unsigned char lead = *p;
        const int sequence = Utf8Sequence::length(lead);
        if (sequence == 0 || end - p < sequence || !Utf8Sequence::secondByteFits(lead, p[1])
            || (sequence > 2 && !Utf8Sequence::isContinuation(p[2])) || (sequence > 3 && !Utf8Sequence::isContinuation(p[3]))) {
            *out++ = QChar::ReplacementCharacter;
            ++p;
            continue;
        }
        char32_t c = lead & (0x7F >> sequence);
        for (int k = 1; k < sequence; ++k)
            c = (c << 6) | (p[k] & 0x3F);
        p += sequence;
        if (QChar::requiresSurrogates(c)) {
            *out++ = QChar::highSurrogate(c);
            *out++ = QChar::lowSurrogate(c);
        } else {
            *out++ = static_cast<char16_t>(c);
        }
    }
    if (out - begin < length)
        text.resize(out - begin);
}

} // namespace

const QString &FeedText::take()
{
    std::string_view utf8 = m_bytes;
    // A byte-order mark that starts a text is dropped; one inside it is kept.
    if (utf8.starts_with("\xEF\xBB\xBF"))
        utf8.remove_prefix(3);
    decodeUtf8(utf8, m_text);
    m_bytes.clear();
    return m_text;
}
