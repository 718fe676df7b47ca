// An entry's HTML goes through the sanitizer before the preview lays it out: any text, split
// anywhere between title and content, comes out bounded.
#include "preview/contentsanitizer.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = size > 0 ? data[0] % (text.size() + 1) : 0;
    ContentSanitizer::Limits limits;
    limits.budget = 4096;
    limits.markup = 8192;
    ContentSanitizer sanitizer(limits);
    const QString title = sanitizer.sanitize(QStringView(text).left(split));
    const QString content = sanitizer.sanitize(QStringView(text).mid(split));
    // Text, word breaks and the ellipsis within the budget; tags within the markup limit.
    const qsizetype bound = 2 * limits.budget + limits.markup + 4;
    if (title.size() + content.size() > bound)
        __builtin_trap();
    return 0;
}
