// Feeds arbitrary bytes to the ISO 8601 parser in strict and lenient mode and with several separators,
// and checks that what it reports is consistent.
#include "support/iso8601/iso8601dateformatter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char16_t separators[] = {u':', u'.', u',', u'-', u'5', u'T'};
    ISO8601DateFormatter formatter;
    formatter.setNowProvider([] { return QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC); });
    formatter.setParsesStrictly(data[0] & 1);
    formatter.setTimeSeparator(separators[(data[0] >> 1) % std::size(separators)]);

    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = QString::fromUtf8(bytes);
    std::optional<ISO8601TimeZone> zone;
    ISO8601Range range;
    const QDateTime date = formatter.dateFromString(text, &zone, &range);
    const qsizetype utf8Size = text.toUtf8().size();
    if (range.isFound() &&
        (range.location < 0 || range.length < 0 || range.location + range.length > utf8Size))
        abort();
    if (!range.isFound() && (zone || date.isValid()))
        abort();
    if (date.isValid() && date.timeSpec() != Qt::UTC)
        abort();
    // The writer must cope with whatever instant the parser produced.
    if (date.isValid()) {
        formatter.setIncludeTime(true);
        formatter.setFormat(data[0] % 3);
        (void)formatter.stringFromDate(date, QTimeZone::utc());
    }
    return 0;
}
