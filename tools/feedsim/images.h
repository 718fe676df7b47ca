#pragma once

#include <cstdint>
#include <string>

// Small generated images for icons: a 16×16 square of one colour.
namespace images {
std::string png(uint32_t rgb);
// An .ico file holding that PNG.
std::string ico(uint32_t rgb);
// Colour derived from a name, so that every feed gets its own.
uint32_t colourFor(const std::string &name);
// gzip stream of the bytes.
std::string gzip(const std::string &bytes);
// gzip stream of head, then `count` copies of `fill`, then tail; built without holding the whole.
std::string gzipPadded(const std::string &head, char fill, uint64_t count, const std::string &tail);
} // namespace images
