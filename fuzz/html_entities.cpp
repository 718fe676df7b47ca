// Headline text from any feed goes through the entity decoder.
#include "model/parse/feedstrings.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString decoded = FeedStrings::stringByDecodingHTMLEntities(text);
    // Decoding never lengthens the text by more than a surrogate pair per reference.
    if (decoded.size() > text.size() * 2 + 2)
        __builtin_trap();
    return 0;
}
