#include "model/textfolding.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

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

using Buffer = QVarLengthArray<char16_t, 256>;

void appendCodePoint(Buffer &out, UChar32 c)
{
    if (U_IS_BMP(c)) {
        out.append(char16_t(c));
    } else {
        out.append(char16_t(U16_LEAD(c)));
        out.append(char16_t(U16_TRAIL(c)));
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
    void append(Buffer &out, UChar32 c, const icu::Normalizer2 *nfd)
    {
        Slot &slot = m_slots[size_t(c) % m_slots.size()];
        if (slot.codePoint != c) {
            const qsizetype start = out.size();
            appendWithoutMarks(out, c, nfd);
            const qsizetype length = out.size() - start;
            if (length <= qsizetype(std::size(slot.units))) {
                slot.codePoint = c;
                slot.length = int(length);
                std::copy(out.cbegin() + start, out.cend(), slot.units);
            }
            return;
        }
        out.append(slot.units, slot.length);
    }

private:
    struct Slot {
        UChar32 codePoint = -1;
        int length = 0;
        char16_t units[6];
    };
    std::array<Slot, 64> m_slots;
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

// Decomposition works code point by code point here: the marks it would reorder are dropped anyway.
// Runs of ASCII, most of a text, are lowered straight into the buffer.
void appendFoldedText(Buffer &out, QStringView text)
{
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const int32_t length = int32_t(text.size());
    for (int32_t i = 0; i < length;) {
        int32_t asciiEnd = i;
        while (asciiEnd < length && source[asciiEnd] < 0x80)
            ++asciiEnd;
        if (asciiEnd > i) {
            const qsizetype start = out.size();
            out.resize(start + (asciiEnd - i));
            std::transform(source + i, source + asciiEnd, out.data() + start,
                           [](char16_t c) { return asciiLower(c); });
            i = asciiEnd;
            continue;
        }
        UChar32 c;
        U16_NEXT(source, i, length, c);
        recentFoldings.append(out, c, nfdInstance());
    }
}

QString toString(const Buffer &folded)
{
    return QString(reinterpret_cast<const QChar *>(folded.constData()), folded.size());
}

// The encoder reserves three bytes a unit: given back, as the text is kept for the entry's life.
QByteArray toUtf8(const Buffer &folded)
{
    QByteArray utf8 = QStringView(folded.constData(), folded.size()).toUtf8();
    utf8.squeeze();
    return utf8;
}

} // namespace

QString TextFolding::fold(const QString &text)
{
    if (isAscii(text))
        return text.toLower();
    Buffer folded;
    folded.reserve(text.size() + 8);
    appendFoldedText(folded, text);
    return toString(folded);
}

QByteArray TextFolding::foldJoined(QStringView first, QChar separator, QStringView second)
{
    Buffer folded;
    folded.reserve(first.size() + second.size() + 9);
    appendFoldedText(folded, first);
    folded.append(separator.unicode());
    appendFoldedText(folded, second);
    return toUtf8(folded);
}

bool TextFolding::containsFolded(const QString &foldedText, const QString &foldedNeedle)
{
    // The standard library's search runs a good deal faster than QString::contains on these short texts.
    return !foldedNeedle.isEmpty() && units(foldedText).find(units(foldedNeedle)) != std::u16string_view::npos;
}

bool TextFolding::containsFolded(const QByteArray &foldedText, const QByteArray &foldedNeedle)
{
    const std::string_view text(foldedText.data(), size_t(foldedText.size()));
    const std::string_view needle(foldedNeedle.data(), size_t(foldedNeedle.size()));
    return !needle.empty() && text.find(needle) != std::string_view::npos;
}
