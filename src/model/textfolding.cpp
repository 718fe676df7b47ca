#include "model/textfolding.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace {

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

icu::UnicodeString withoutCombiningMarks(const icu::UnicodeString &decomposed)
{
    icu::UnicodeString stripped;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK)
            stripped.append(c);
        i += U16_LENGTH(c);
    }
    return stripped;
}

} // namespace

QString TextFolding::fold(const QString &text)
{
    if (isAscii(text))
        return text.toLower();
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::UnicodeString source(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    icu::UnicodeString decomposed = U_SUCCESS(status) ? nfd->normalize(source, status) : source;
    if (U_FAILURE(status))
        decomposed = source;
    icu::UnicodeString folded = withoutCombiningMarks(decomposed);
    folded.foldCase();
    return QString(reinterpret_cast<const QChar *>(folded.getBuffer()), folded.length());
}

bool TextFolding::containsFolded(const QString &foldedText, const QString &foldedNeedle)
{
    return !foldedNeedle.isEmpty() && foldedText.contains(foldedNeedle);
}
