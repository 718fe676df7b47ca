#pragma once

// Type tags of the binary record form shared by ArchiveWriter and ArchiveReader.
// Stored in item files: never change a tag's meaning.
namespace ArchiveTag {
inline constexpr char null = '-';
inline constexpr char string = 's';
inline constexpr char integer = 'i';
inline constexpr char real = 'd';
inline constexpr char boolean = 'b';
inline constexpr char date = 't';
inline constexpr char blob = 'x';
inline constexpr char array = 'a';
inline constexpr char dictionary = 'm';
inline constexpr char charCode = 'c';
inline constexpr char int32 = 'l';
} // namespace ArchiveTag
