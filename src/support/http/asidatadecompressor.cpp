#include "asidatadecompressor.h"

#include <zlib.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// 15 window bits plus 32: accept both a zlib and a gzip header.
constexpr int detectHeaderWindowBits = 47;

HTTPError decompressionError(int status)
{
    return HTTPError::make(HTTPErrorCode::Compression,
                           u"Decompression of data failed with code %1"_s.arg(static_cast<short>(status)));
}

HTTPError tooLargeError(qint64 maximumSize)
{
    return HTTPError::make(
        HTTPErrorCode::Compression,
        u"Decompression of data failed: the result is larger than %1 bytes"_s.arg(maximumSize),
        u"The inflated body passed the size limit."_s);
}

} // namespace

ASIDataDecompressor::Result ASIDataDecompressor::uncompressData(const QByteArray &compressed,
                                                                qint64 maximumSize)
{
    if (compressed.isEmpty())
        return {QByteArray(""), std::nullopt};

    z_stream stream{};
    int status = inflateInit2(&stream, detectHeaderWindowBits);
    if (status != Z_OK)
        return {{}, decompressionError(status)};

    const qint64 inputLength = compressed.size();
    // One byte past the limit tells "exactly at the limit" from "over it".
    const qint64 capacityLimit = maximumSize + 1;
    QByteArray output;
    output.resize(std::min(capacityLimit, std::max<qint64>(64, inputLength + inputLength / 2)));

    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(inputLength);

    Result result;
    for (;;) {
        if (static_cast<qint64>(stream.total_out) == output.size()) {
            if (output.size() >= capacityLimit) {
                result.error = tooLargeError(maximumSize);
                result.exceededLimit = true;
                break;
            }
            // Grow by at least half the input, and geometrically so that large outputs stay linear.
            const qint64 growth = std::max(inputLength / 2 + 1, output.size() / 2);
            output.resize(std::min(capacityLimit, output.size() + growth));
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data() + stream.total_out);
        stream.avail_out = static_cast<uInt>(output.size() - static_cast<qint64>(stream.total_out));
        status = inflate(&stream, Z_SYNC_FLUSH);
        if (status == Z_STREAM_END)
            break;
        const bool needsMoreOutput = status == Z_BUF_ERROR && stream.avail_out == 0;
        if (status != Z_OK && !needsMoreOutput) {
            result.error = decompressionError(status);
            break;
        }
        if (stream.avail_in == 0 && stream.avail_out > 0) {
            // All input consumed without the end of the stream: the body was cut short.
            result.error = decompressionError(Z_BUF_ERROR);
            break;
        }
    }
    const qint64 produced = static_cast<qint64>(stream.total_out);
    inflateEnd(&stream);
    if (result.error)
        return result;
    if (produced > maximumSize)
        return {{}, tooLargeError(maximumSize), true};
    output.truncate(produced);
    result.data = std::move(output);
    return result;
}
