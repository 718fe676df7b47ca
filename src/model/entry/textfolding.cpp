#include "model/entry/textfolding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace {

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

std::u16string_view units(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}

// The folded text, written straight into the string that is returned. Folding keeps ASCII at its
// length and rarely lengthens other text, so the input's length is nearly always room enough.
class Buffer {
public:
    explicit Buffer(qsizetype expected) : m_text(expected, Qt::Uninitialized), m_units(unitsOf(m_text)) {}

    qsizetype size() const { return m_size; }
    const char16_t *units() const { return m_units; }
    // Room for `count` more units, to be written at the returned place and kept with added().
    char16_t *room(qsizetype count)
    {
        if (m_size + count > m_text.size()) {
            m_text.resize(std::max(m_size + count, 2 * m_text.size()));
            m_units = unitsOf(m_text);
        }
        return m_units + m_size;
    }
    void added(qsizetype count) { m_size += count; }
    void clear() { m_size = 0; }
    QStringView view() const { return QStringView(m_units, m_size); }
    void append(char16_t unit) { append(&unit, 1); }
    void append(const char16_t *units, qsizetype count)
    {
        std::copy_n(units, count, room(count));
        added(count);
    }
    void appendUnits(QStringView units)
    {
        append(reinterpret_cast<const char16_t *>(units.utf16()), units.size());
    }
    QString take()
    {
        m_text.truncate(m_size);
        return std::move(m_text);
    }

private:
    static char16_t *unitsOf(QString &text) { return reinterpret_cast<char16_t *>(text.data()); }

    QString m_text;
    char16_t *m_units;
    qsizetype m_size = 0;
};

void appendCodePoint(Buffer &out, UChar32 c)
{
    if (U_IS_BMP(c)) {
        out.append(char16_t(c));
    } else {
        const char16_t pair[] = {char16_t(U16_LEAD(c)), char16_t(U16_TRAIL(c))};
        out.append(pair, 2);
    }
}

char16_t asciiLower(UChar32 c)
{
    return char16_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

// Full case folding, code point by code point: it depends on no context, so the result is the
// folding of the whole text.
void appendFolded(Buffer &out, UChar32 c)
{
    if (c < 0x80) {
        out.append(asciiLower(c));
        return;
    }
    if (!u_hasBinaryProperty(c, UCHAR_CHANGES_WHEN_CASEFOLDED)) {
        appendCodePoint(out, c);
        return;
    }
    UChar source[2];
    int32_t sourceLength = 0;
    U16_APPEND_UNSAFE(source, sourceLength, c);
    UChar folded[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_strFoldCase(folded, 8, source, sourceLength, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status))
        appendCodePoint(out, c);
    else
        out.append(reinterpret_cast<const char16_t *>(folded), length);
}

// The code point decomposed, without its combining marks, folded.
void appendWithoutMarks(Buffer &out, UChar32 c, const icu::Normalizer2 *nfd)
{
    icu::UnicodeString decomposition;
    if (!nfd || !nfd->getDecomposition(c, decomposition)) {
        if (u_charType(c) != U_NON_SPACING_MARK)
            appendFolded(out, c);
        return;
    }
    for (int32_t i = 0; i < decomposition.length();) {
        const UChar32 part = decomposition.char32At(i);
        if (u_charType(part) != U_NON_SPACING_MARK)
            appendFolded(out, part);
        i += U16_LENGTH(part);
    }
}

// Folding a character beyond ASCII takes several ICU look-ups, while a text repeats the same few
// (quotation marks, accented letters): each thread remembers the latest results by code point.
class RecentFoldings {
public:
    // The folding of the code point; valid until the next call.
    QStringView folded(UChar32 c, const icu::Normalizer2 *nfd)
    {
        Slot &slot = m_slots[size_t(c) % m_slots.size()];
        if (slot.codePoint == c)
            return QStringView(slot.units, slot.length);
        m_scratch.clear();
        appendWithoutMarks(m_scratch, c, nfd);
        if (m_scratch.size() <= qsizetype(std::size(slot.units))) {
            slot.codePoint = c;
            slot.length = int(m_scratch.size());
            std::copy_n(m_scratch.units(), m_scratch.size(), slot.units);
        }
        return m_scratch.view();
    }

private:
    struct Slot {
        UChar32 codePoint = -1;
        int length = 0;
        char16_t units[6];
    };
    std::array<Slot, 64> m_slots;
    Buffer m_scratch{8};
};

thread_local RecentFoldings recentFoldings;

// Fetched once under the static's guard: ICU's own lazy set-up is invisible to thread checkers.
const icu::Normalizer2 *nfdInstance()
{
    static const icu::Normalizer2 *const nfd = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2 *instance = icu::Normalizer2::getNFDInstance(status);
        return U_SUCCESS(status) ? instance : nullptr;
    }();
    return nfd;
}

// Lowers the ASCII at the start of `in` into `out` (room for `count`), as UTF-16 units or as UTF-8
// bytes, up to the first unit beyond ASCII; returns how many units it lowered. Eight units at a
// time where the processor allows.
template <typename Out> qsizetype lowerAsciiRun(const char16_t *in, qsizetype count, Out *out)
{
    static_assert(sizeof(Out) == 1 || sizeof(Out) == 2);
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i beyondAscii = _mm_set1_epi16(short(0xff80));
    const __m128i beforeA = _mm_set1_epi16('A' - 1);
    const __m128i afterZ = _mm_set1_epi16('Z' + 1);
    const __m128i caseBit = _mm_set1_epi16(0x20);
    for (; i + 8 <= count; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, beyondAscii), _mm_setzero_si128());
        if (_mm_movemask_epi8(ascii) != 0xffff)
            break;
        const __m128i capital =
            _mm_and_si128(_mm_cmpgt_epi16(units, beforeA), _mm_cmplt_epi16(units, afterZ));
        const __m128i lowered = _mm_add_epi16(units, _mm_and_si128(capital, caseBit));
        if constexpr (sizeof(Out) == 1)
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(lowered, lowered));
        else
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), lowered);
    }
#endif
    for (; i < count && in[i] < 0x80; ++i)
        out[i] = Out(asciiLower(in[i]));
    return i;
}

// UTF-8 bytes written straight into a buffer each thread keeps, which grows as needed.
class Utf8Buffer {
public:
    void clear() { m_size = 0; }
    // Room for `count` more bytes, to be written at the returned place and kept with added().
    char *room(qsizetype count)
    {
        if (m_size + size_t(count) > m_bytes.size())
            m_bytes.resize(std::max(m_size + size_t(count), 2 * m_bytes.size()));
        return m_bytes.data() + m_size;
    }
    void added(qsizetype count) { m_size += size_t(count); }
    // The units as Qt's encoder writes them: an unpaired surrogate becomes U+FFFD.
    void appendUnits(QStringView units)
    {
        const auto *p = reinterpret_cast<const char16_t *>(units.utf16());
        const qsizetype length = units.size();
        char *out = room(3 * length);
        size_t count = 0;
        for (qsizetype i = 0; i < length;) {
            UChar32 c = p[i++];
            if (U16_IS_LEAD(c) && i < length && U16_IS_TRAIL(p[i]))
                c = U16_GET_SUPPLEMENTARY(c, p[i++]);
            else if (U16_IS_SURROGATE(c))
                c = 0xFFFD;
            U8_APPEND_UNSAFE(out, count, c);
        }
        added(qsizetype(count));
    }
    QByteArray toByteArray() const { return QByteArray(m_bytes.data(), qsizetype(m_size)); }

private:
    std::vector<char> m_bytes;
    size_t m_size = 0;
};

// The folding of `text` appended to `out`, a Buffer (UTF-16) or a Utf8Buffer. Decomposition works
// code point by code point here: the marks it would reorder are dropped anyway. Runs of ASCII, most
// of a text, are lowered straight into the buffer.
template <typename Out> void appendFoldedText(Out &out, QStringView text)
{
    const auto *source = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    const icu::Normalizer2 *nfd = nfdInstance();
    RecentFoldings &recent = recentFoldings;
    for (qsizetype i = 0; i < length;) {
        const qsizetype lowered = lowerAsciiRun(source + i, length - i, out.room(length - i));
        out.added(lowered);
        i += lowered;
        if (i == length)
            break;
        UChar32 c;
        U16_NEXT(source, i, length, c);
        out.appendUnits(recent.folded(c, nfd));
    }
}

} // namespace

QString TextFolding::fold(const QString &text)
{
    if (isAscii(text))
        return text.toLower();
    Buffer folded(text.size() + 8);
    appendFoldedText(folded, text);
    return folded.take();
}

// The folded text goes through a buffer each thread keeps, so that only the result is allocated.
QByteArray TextFolding::foldJoined(QStringView first, QChar separator, QStringView second)
{
    thread_local Utf8Buffer folded;
    folded.clear();
    appendFoldedText(folded, first);
    const char16_t separatorUnit = separator.unicode();
    folded.appendUnits(QStringView(&separatorUnit, 1));
    appendFoldedText(folded, second);
    return folded.toByteArray();
}

namespace {

#if defined(__SSE2__)
// One lane per code unit: whether each lane of the block equals the unit.
template <typename Unit> __m128i lanesEqual(const Unit *block, __m128i unit)
{
    const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block));
    if constexpr (sizeof(Unit) == 1)
        return _mm_cmpeq_epi8(lanes, unit);
    else
        return _mm_cmpeq_epi16(lanes, unit);
}

template <typename Unit> __m128i broadcast(Unit unit)
{
    if constexpr (sizeof(Unit) == 1)
        return _mm_set1_epi8(char(unit));
    else
        return _mm_set1_epi16(short(unit));
}
#endif

// Candidate places are those where the needle's first and last units both agree, a block of
// sixteen bytes at a time where the processor allows; only there is the whole needle compared.
// Most texts hold no keyword, so nearly all the time goes into passing over them.
template <typename Unit>
bool containsUnits(std::basic_string_view<Unit> text, std::basic_string_view<Unit> needle)
{
    if (needle.empty() || needle.size() > text.size())
        return false;
    const size_t places = text.size() - needle.size() + 1;
    auto occursAt = [&](size_t place) { return text.substr(place, needle.size()) == needle; };
    size_t place = 0;
#if defined(__SSE2__)
    constexpr size_t placesPerBlock = 16 / sizeof(Unit);
    const __m128i first = broadcast(needle.front());
    const __m128i last = broadcast(needle.back());
    for (; place + placesPerBlock <= places; place += placesPerBlock) {
        const __m128i agree = _mm_and_si128(lanesEqual(text.data() + place, first),
                                            lanesEqual(text.data() + place + needle.size() - 1, last));
        // sizeof(Unit) mask bits per place; the lowest bit set of a place names it.
        unsigned mask = unsigned(_mm_movemask_epi8(agree));
        while (mask != 0) {
            const unsigned bit = unsigned(std::countr_zero(mask));
            if (occursAt(place + bit / sizeof(Unit)))
                return true;
            mask &= ~((1u << (bit + sizeof(Unit))) - 1);
        }
    }
#endif
    for (; place < places; ++place)
        if (text[place] == needle.front() && occursAt(place))
            return true;
    return false;
}

} // namespace

bool TextFolding::containsFolded(const QString &foldedText, const QString &foldedNeedle)
{
    return containsUnits(units(foldedText), units(foldedNeedle));
}

bool TextFolding::containsFolded(const QByteArray &foldedText, const QByteArray &foldedNeedle)
{
    return containsUnits(std::string_view(foldedText.data(), size_t(foldedText.size())),
                         std::string_view(foldedNeedle.data(), size_t(foldedNeedle.size())));
}
