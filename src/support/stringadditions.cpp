#include "support/stringadditions.h"

#include "support/utf8sequence.h"

#include <QUuid>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t highBits = 0x8080808080808080ULL;
constexpr char16_t replacementCharacter = 0xFFFD;

std::uint64_t load8(const unsigned char *p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Bytes before the first one with its high bit set, in a word that has one.
int asciiBytesBefore(std::uint64_t word, const unsigned char *p)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(word & highBits) / 8;
    int count = 0;
    while (p[count] < 0x80)
        ++count;
    return count;
}

// Sixteen bytes widened with the compiler's vector extension: one load and two stores on any
// target with 128-bit vectors, where a loop over the bytes stays scalar.
constexpr int chunkSize = 16;
using ByteChunk = unsigned char __attribute__((vector_size(chunkSize)));
using UnitChunk = char16_t __attribute__((vector_size(2 * chunkSize)));

// Widens a whole chunk and returns how many of its bytes, from the start, are ASCII: only those
// units count, the rest are overwritten by the caller.
int widenAsciiChunk(const unsigned char *in, char16_t *out)
{
    ByteChunk bytes;
    std::memcpy(&bytes, in, sizeof bytes);
    const UnitChunk units = __builtin_convertvector(bytes, UnitChunk);
    std::memcpy(out, &units, sizeof units);
    if (const std::uint64_t low = load8(in); low & highBits)
        return asciiBytesBefore(low, in);
    if (const std::uint64_t high = load8(in + 8); high & highBits)
        return 8 + asciiBytesBefore(high, in + 8);
    return chunkSize;
}

using EightBytes = unsigned char __attribute__((vector_size(8)));
using EightUnits = char16_t __attribute__((vector_size(16)));
using FourBytes = unsigned char __attribute__((vector_size(4)));
using FourUnits = char16_t __attribute__((vector_size(8)));

// Bytes widened as many at a time as the vectors hold; returns how many of them, from the start,
// are ASCII.
template <typename Bytes, typename Units> int widenAsciiBytes(const unsigned char *in, char16_t *out)
{
    constexpr int n = sizeof(Bytes);
    Bytes bytes;
    std::memcpy(&bytes, in, sizeof bytes);
    const Units units = __builtin_convertvector(bytes, Units);
    std::memcpy(out, &units, sizeof units);
    std::uint64_t word = 0;
    std::memcpy(&word, in, n);
    return word & highBits ? asciiBytesBefore(word, in) : n;
}

// Widens the run of ASCII at the start of [p, end) into `out` and returns its length. Texts are
// mostly ASCII and many are short: a chunk at a time, then half and a quarter of one.
qsizetype widenAsciiRun(const unsigned char *p, const unsigned char *end, char16_t *out)
{
    const unsigned char *const start = p;
    while (end - p >= chunkSize) {
        const int ascii = widenAsciiChunk(p, out);
        p += ascii;
        out += ascii;
        if (ascii < chunkSize)
            return p - start;
    }
    if (end - p >= 8) {
        const int ascii = widenAsciiBytes<EightBytes, EightUnits>(p, out);
        p += ascii;
        out += ascii;
        if (ascii < 8)
            return p - start;
    }
    if (end - p >= 4) {
        const int ascii = widenAsciiBytes<FourBytes, FourUnits>(p, out);
        p += ascii;
        out += ascii;
        if (ascii < 4)
            return p - start;
    }
    while (p < end && *p < 0x80)
        *out++ = *p++;
    return p - start;
}

// Decodes the sequence a byte >= 0x80 starts at p, or writes U+FFFD for that one byte when no
// well-formed sequence starts there. Never writes more units than it consumes bytes.
void decodeSequence(const unsigned char *&p, const unsigned char *end, char16_t *&out)
{
    const unsigned char lead = p[0];
    const int length = Utf8Sequence::length(lead);
    // Each byte is looked at only once the ones before it fit, so nothing past `end` is read.
    const bool wellFormed = length >= 2 && end - p >= length && Utf8Sequence::secondByteFits(lead, p[1]) &&
                            (length < 3 || Utf8Sequence::isContinuation(p[2])) &&
                            (length < 4 || Utf8Sequence::isContinuation(p[3]));
    if (!wellFormed) {
        *out++ = replacementCharacter;
        ++p;
        return;
    }
    if (length == 2) {
        *out++ = char16_t((lead & 0x1F) << 6 | (p[1] & 0x3F));
    } else if (length == 3) {
        *out++ = char16_t((lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
    } else {
        const char32_t codePoint = char32_t(lead & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 |
                                   char32_t(p[2] & 0x3F) << 6 | char32_t(p[3] & 0x3F);
        *out++ = char16_t(0xD800 + ((codePoint - 0x10000) >> 10));
        *out++ = char16_t(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    }
    p += length;
}

// No sequence gives more UTF-16 units than it has bytes, so room for the byte count is enough.
// Runs of ASCII go a chunk at a time; a chunk that holds a higher byte is still widened whole,
// which stays inside the room because at least a chunk's worth of bytes is left, and only its
// ASCII prefix counts. Returns how many units were written.
qsizetype decodeUtf8Into(const unsigned char *p, const unsigned char *end, char16_t *begin)
{
    char16_t *out = begin;
    for (;;) {
        const qsizetype ascii = widenAsciiRun(p, end, out);
        p += ascii;
        out += ascii;
        if (p == end)
            return out - begin;
        decodeSequence(p, end, out);
    }
}

const unsigned char *unsignedBytes(QByteArrayView bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.data());
}

// The bytes without the one leading byte order mark that is dropped.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    // Compared byte by byte: a call to the general comparison costs more than most texts' decoding.
    const auto *p = unsignedBytes(bytes);
    const bool marked = bytes.size() >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
    return marked ? bytes.sliced(3) : bytes;
}

} // namespace

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
        if (chunk & highBits)
            return false;
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) & 0x80)
            return false;
    return true;
}

QString StringAdditions::fromUtf8(QByteArrayView bytes)
{
    if (bytes.isNull())
        return QString();
    const QByteArrayView utf8 = withoutByteOrderMark(bytes);
    QString text(utf8.size(), Qt::Uninitialized);
    text.truncate(decodeUtf8Into(unsignedBytes(utf8), unsignedBytes(utf8) + utf8.size(),
                                 reinterpret_cast<char16_t *>(text.data())));
    return text;
}

qsizetype StringAdditions::decodeUtf8(QByteArrayView bytes, char16_t *out)
{
    const QByteArrayView utf8 = withoutByteOrderMark(bytes);
    return decodeUtf8Into(unsignedBytes(utf8), unsignedBytes(utf8) + utf8.size(), out);
}

void StringAdditions::decodeUtf8(QByteArrayView bytes, QString &text)
{
    const QByteArrayView utf8 = withoutByteOrderMark(bytes);
    text.resize(utf8.size());
    const qsizetype written = decodeUtf8Into(unsignedBytes(utf8), unsignedBytes(utf8) + utf8.size(),
                                             reinterpret_cast<char16_t *>(text.data()));
    if (written < text.size())
        text.resize(written);
}
