#include "images.h"

#include <zlib.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

void appendBigEndian(std::string &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void appendLittleEndian(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void appendChunk(std::string &out, const char *type, const std::string &data)
{
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    appendBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(typed.data()),
                                                     static_cast<uInt>(typed.size()))));
}

std::string deflateBytes(const std::string &bytes, int windowBits)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

namespace images {

std::string png(uint32_t rgb)
{
    constexpr uint32_t size = 16;
    std::string header;
    appendBigEndian(header, size);
    appendBigEndian(header, size);
    header += "\x08\x02"; // 8 bits, RGB
    header += std::string(3, '\0');
    std::string pixels;
    for (uint32_t row = 0; row < size; ++row) {
        pixels += '\0'; // no filter
        for (uint32_t column = 0; column < size; ++column) {
            pixels += static_cast<char>((rgb >> 16) & 0xFF);
            pixels += static_cast<char>((rgb >> 8) & 0xFF);
            pixels += static_cast<char>(rgb & 0xFF);
        }
    }
    std::string out = "\x89PNG\r\n\x1A\n";
    appendChunk(out, "IHDR", header);
    appendChunk(out, "IDAT", deflateBytes(pixels, 15));
    appendChunk(out, "IEND", {});
    return out;
}

std::string ico(uint32_t rgb)
{
    const std::string image = png(rgb);
    std::string out;
    appendLittleEndian(out, 0, 2);
    appendLittleEndian(out, 1, 2);             // icon
    appendLittleEndian(out, 1, 2);             // one image
    out += std::string("\x10\x10\x00\x00", 4); // 16×16, no palette
    appendLittleEndian(out, 1, 2);             // planes
    appendLittleEndian(out, 32, 2);            // bits per pixel
    appendLittleEndian(out, static_cast<uint32_t>(image.size()), 4);
    appendLittleEndian(out, 22, 4); // offset of the image
    return out + image;
}

uint32_t colourFor(const std::string &name)
{
    return static_cast<uint32_t>(std::hash<std::string>()(name)) & 0xFFFFFF;
}

std::string gzip(const std::string &bytes)
{
    return deflateBytes(bytes, 15 + 16);
}

std::string gzipPadded(const std::string &head, char fill, uint64_t count, const std::string &tail)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string out;
    std::string buffer(256 * 1024, '\0');
    const std::string block(1024 * 1024, fill);
    auto pump = [&](const char *data, size_t size, int flush) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
        stream.avail_in = static_cast<uInt>(size);
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer.data());
            stream.avail_out = static_cast<uInt>(buffer.size());
            deflate(&stream, flush);
            out.append(buffer.data(), buffer.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    pump(head.data(), head.size(), Z_NO_FLUSH);
    for (uint64_t left = count; left > 0;) {
        const size_t size = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
        pump(block.data(), size, Z_NO_FLUSH);
        left -= size;
    }
    pump(tail.data(), tail.size(), Z_FINISH);
    deflateEnd(&stream);
    return out;
}

} // namespace images
