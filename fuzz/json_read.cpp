// Feeds arbitrary bytes to the JSON reader under every combination of its settings.
#include "support/json/cjsondeserializer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the settings and the entry point; the rest is the document.
    const uint8_t options = bytes[0];
    // Raw, not copied: the input buffer ends where the document does, so a read past it is caught.
    const QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char *>(bytes + 1), qsizetype(size - 1));

    CJSONDeserializer reader;
    reader.scanner().setStrictEscapeCodes(options & 1);
    if (options & 2)
        reader.setNullObject(QVariant());
    if (options & 4)
        reader.setAllowedEncoding(QStringConverter::Latin1);

    JSONError error;
    switch (options >> 3 & 3) {
    case 0:
        reader.deserialize(data, &error);
        break;
    case 1:
        reader.deserializeAsDictionary(data, &error);
        break;
    case 2:
        reader.deserializeAsArray(data, &error);
        break;
    default: {
        CJSONScanner &scanner = reader.scanner();
        if (scanner.setData(data, &error)) {
            QString text;
            scanner.scanJSONStringConstant(&text, &error);
            QVariant number;
            scanner.scanJSONNumberConstant(&number, &error);
            scanner.scanCStyleComment(&text);
            scanner.scanCPlusPlusStyleComment(&text);
            scanner.lineOfScanLocation();
        }
        break;
    }
    }
    // Building the location report reads around the position; make sure it stays in bounds.
    (void)error.snippet();
    return 0;
}
