// Feeds arbitrary bytes to the archive reader, and checks the string decoder it uses against
// QString::fromUtf8 on the same bytes.
#include "platform/archivereader.h"
#include "support/stringadditions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void checkDecoderAgreesWithQt(QByteArrayView bytes)
{
    const QString expected = QString::fromUtf8(bytes);
    const QString decoded = StringAdditions::fromUtf8(bytes);
    if (decoded != expected || decoded.isNull() != expected.isNull())
        std::abort();
}

// The first byte picks the entry point, as a caller would use it; the rest is the archive.
void read(uint8_t entry, const QByteArray &data)
{
    ArchiveReader reader(data);
    while (!reader.hasError() && !reader.atEnd()) {
        switch (entry % 4) {
        case 0:
            reader.decodeObject();
            break;
        case 1:
            reader.decodeDictionary(
                [](const ArchiveReader::Key &, QVariant &&) {},
                [](const ArchiveReader::Key &, QByteArrayView utf8) { checkDecoderAgreesWithQt(utf8); });
            break;
        case 2:
            reader.decodeBool();
            break;
        default:
            reader.decodeInt32();
            break;
        }
        entry = uint8_t(entry >> 2 | entry << 6);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    checkDecoderAgreesWithQt(QByteArrayView(bytes, qsizetype(size)));
    if (size == 0)
        return 0;
    read(bytes[0], QByteArray(reinterpret_cast<const char *>(bytes + 1), qsizetype(size - 1)));
    return 0;
}
