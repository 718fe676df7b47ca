#include "asidatacompressor.h"

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

// 15 window bits plus 16: write a gzip header and trailer.
constexpr int gzipWindowBits = 31;
constexpr int memoryLevel = 8;

HTTPError compressionError(int status)
{
    return HTTPError::make(HTTPErrorCode::Compression,
                           u"Compression of data failed with code %1"_s.arg(static_cast<short>(status)));
}

} // namespace

ASIDataCompressor::Result ASIDataCompressor::compressData(const QByteArray &uncompressed)
{
    z_stream stream{};
    int status = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, gzipWindowBits, memoryLevel,
                              Z_DEFAULT_STRATEGY);
    if (status != Z_OK)
        return {{}, compressionError(status)};

    QByteArray output;
    output.resize(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(uncompressed.size()))));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(uncompressed.constData()));
    stream.avail_in = static_cast<uInt>(uncompressed.size());
    stream.next_out = reinterpret_cast<Bytef *>(output.data());
    stream.avail_out = static_cast<uInt>(output.size());
    status = deflate(&stream, Z_FINISH);
    const qsizetype produced = static_cast<qsizetype>(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        return {{}, compressionError(status)};
    output.truncate(produced);
    return {output, std::nullopt};
}
