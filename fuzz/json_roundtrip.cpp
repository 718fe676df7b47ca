// Reads arbitrary bytes and, when they hold a value, writes it and reads the output back:
// the second reading must succeed and give the same value.
#include "support/json/cjsondeserializer.h"
#include "support/json/cjsonserializer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), qsizetype(size));
    const QVariant value = CJSONDeserializer::deserializer().deserialize(data);
    if (!value.isValid())
        return 0;

    JSONError error;
    const std::optional<QByteArray> written = CJSONSerializer::serializer().serializeObject(value, &error);
    if (!written) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(error.message));
        std::abort();
    }
    const QVariant reread = CJSONDeserializer::deserializer().deserialize(*written, &error);
    if (reread != value) {
        std::fprintf(stderr, "round trip changed the value; written: %s\nerror: %s\n", written->constData(),
                     qPrintable(error.message));
        std::abort();
    }
    return 0;
}
