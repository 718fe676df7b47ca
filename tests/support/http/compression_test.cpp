#include "support/http/asidatacompressor.h"
#include "support/http/asidatadecompressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray text = QByteArray("Headlines arrive one at a time. ").repeated(200);

} // namespace

TEST(CompressionTest, gzipRoundTrip)
{
    const ASIDataCompressor::Result compressed = ASIDataCompressor::compressData(text);
    ASSERT_FALSE(compressed.error);
    EXPECT_TRUE(compressed.data.startsWith("\x1f\x8b")) << "a gzip member";
    EXPECT_LT(compressed.data.size(), text.size());

    const ASIDataDecompressor::Result inflated =
        ASIDataDecompressor::uncompressData(compressed.data, text.size());
    ASSERT_FALSE(inflated.error);
    EXPECT_EQ(inflated.data, text);
}

TEST(CompressionTest, zlibStreamsAreDetectedToo)
{
    const QByteArray zlibStream = qCompress(text).mid(4); // without Qt's length prefix
    EXPECT_EQ(ASIDataDecompressor::uncompressData(zlibStream, 1 << 20).data, text);
    EXPECT_EQ(ASIDataDecompressor::uncompressData(QByteArray(), 1 << 20).data, QByteArray(""));
}

TEST(CompressionTest, damagedOrTruncatedDataFails)
{
    const QByteArray compressed = ASIDataCompressor::compressData(text).data;
    const ASIDataDecompressor::Result truncated =
        ASIDataDecompressor::uncompressData(compressed.left(compressed.size() / 2), 1 << 20);
    ASSERT_TRUE(truncated.error);
    EXPECT_EQ(truncated.error->code, 11);
    EXPECT_EQ(truncated.error->localizedDescription,
              u"Decompression of data failed with code %1"_s.arg(Z_BUF_ERROR));
    EXPECT_FALSE(truncated.exceededLimit);

    const ASIDataDecompressor::Result garbage =
        ASIDataDecompressor::uncompressData("not compressed", 1 << 20);
    ASSERT_TRUE(garbage.error);
    EXPECT_EQ(garbage.error->localizedDescription,
              u"Decompression of data failed with code %1"_s.arg(Z_DATA_ERROR));
}

TEST(CompressionTest, outputIsBoundedByTheLimit)
{
    const QByteArray compressed = ASIDataCompressor::compressData(text).data;
    EXPECT_FALSE(ASIDataDecompressor::uncompressData(compressed, text.size()).error)
        << "exactly at the limit";

    const ASIDataDecompressor::Result over = ASIDataDecompressor::uncompressData(compressed, text.size() - 1);
    ASSERT_TRUE(over.error);
    EXPECT_EQ(over.error->code, 11);
    EXPECT_TRUE(over.exceededLimit);
    EXPECT_TRUE(over.data.isEmpty());
}
