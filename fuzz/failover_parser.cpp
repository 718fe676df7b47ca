// Feeds arbitrary text to the fail-over feed-date parser (repairs, curl_getdate, field scan), and now and
// then to the other feed-date parsers, checking that every date they return is a UTC instant.
#include "model/dates/feeddate.h"

#include <cstdint>
#include <cstdlib>

namespace {
void checkDate(const QDateTime &date)
{
    if (date.isValid() && date.timeSpec() != Qt::UTC)
        abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDate(FeedDate::failOverParser(text));
    checkDate(FeedDate::dateWithAtomPubDate(text));
    // The ICU patterns are slow; give them one input in eight.
    if (size > 0 && data[0] % 8 == 0)
        checkDate(FeedDate::dateWithRSSPubDate(text));
    return 0;
}
