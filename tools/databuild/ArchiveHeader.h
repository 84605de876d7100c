#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace skyfetch::databuild {

inline constexpr std::size_t kArchiveHeaderSize = 764;
// The reader compares the first 760 bytes; the trailing word is free.
inline constexpr std::size_t kComparedHeaderSize = 760;

// The 764-byte header of the climate archive: two index dimensions (lon, lat) and
// five data fields, big-endian, text fields of 32 bytes padded after their NUL with
// a fixed non-zero filler so that the reader's byte-for-byte check covers them.
std::array<std::uint8_t, kArchiveHeaderSize> make_archive_header();

} // namespace skyfetch::databuild
