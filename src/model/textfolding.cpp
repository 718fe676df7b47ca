#include "model/textfolding.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

namespace {

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

void appendCodePoint(QString &out, UChar32 c)
{
    if (U_IS_BMP(c)) {
        out += QChar(char16_t(c));
    } else {
        out += QChar(char16_t(U16_LEAD(c)));
        out += QChar(char16_t(U16_TRAIL(c)));
    }
}

// The code point decomposed, without its combining marks.
void appendWithoutMarks(QString &out, UChar32 c, const icu::Normalizer2 *nfd)
{
    icu::UnicodeString decomposition;
    if (!nfd || !nfd->getDecomposition(c, decomposition)) {
        if (u_charType(c) != U_NON_SPACING_MARK)
            appendCodePoint(out, c);
        return;
    }
    for (int32_t i = 0; i < decomposition.length();) {
        const UChar32 part = decomposition.char32At(i);
        if (u_charType(part) != U_NON_SPACING_MARK)
            appendCodePoint(out, part);
        i += U16_LENGTH(part);
    }
}

QString foldCase(const QString &text)
{
    UErrorCode status = U_ZERO_ERROR;
    QString folded(text.size() + text.size() / 2 + 4, Qt::Uninitialized);
    const auto source = reinterpret_cast<const UChar *>(text.utf16());
    int32_t length = u_strFoldCase(reinterpret_cast<UChar *>(folded.data()), int32_t(folded.size()), source,
                                   int32_t(text.size()), U_FOLD_CASE_DEFAULT, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        folded.resize(length);
        length = u_strFoldCase(reinterpret_cast<UChar *>(folded.data()), length, source, int32_t(text.size()),
                               U_FOLD_CASE_DEFAULT, &status);
    }
    if (U_FAILURE(status))
        return text.toCaseFolded();
    folded.truncate(length);
    return folded;
}

} // namespace

// Decomposition works code point by code point here: the marks it would reorder are dropped anyway.
QString TextFolding::fold(const QString &text)
{
    if (isAscii(text))
        return text.toLower();
    // Fetched once under the static's guard: ICU's own lazy set-up is invisible to thread checkers.
    static const icu::Normalizer2 *const nfd = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2 *instance = icu::Normalizer2::getNFDInstance(status);
        return U_SUCCESS(status) ? instance : nullptr;
    }();
    QString stripped;
    stripped.reserve(text.size());
    const auto *units = reinterpret_cast<const UChar *>(text.utf16());
    const int32_t length = int32_t(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U16_NEXT(units, i, length, c);
        if (c < 0x80)
            stripped += QChar(char16_t(c));
        else
            appendWithoutMarks(stripped, c, nfd);
    }
    return foldCase(stripped);
}

bool TextFolding::containsFolded(const QString &foldedText, const QString &foldedNeedle)
{
    return !foldedNeedle.isEmpty() && foldedText.contains(foldedNeedle);
}
