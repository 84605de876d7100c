#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace skyfetch::databuild {

inline constexpr std::size_t kRecordSize = 556;
inline constexpr std::size_t kIndexEntrySize = 7;
inline constexpr int kDataYears = 10;

inline constexpr int kRecordMonths = kDataYears * 12;

// The raw values of one cell as the archive stores them: ten years of twelve months,
// year-major, January first.
using MonthlyRaw = std::array<std::uint16_t, kRecordMonths>;
struct ArchiveCell {
    int lon_index = 0; // 0..719, south-west corner at -180 + 0.5 lon_index
    int lat_index = 0; // 0..359, south-west corner at -90 + 0.5 lat_index
    int soilcode = 0;
    MonthlyRaw mtemp{};
    MonthlyRaw mprec{};
    MonthlyRaw msun{};
    MonthlyRaw mwet{};
};

// One 556-byte record: 4 zero bits, soilcode (4 bits), then 120 values each of mtemp (10),
// mprec (14), msun (7) and mwet (6 bits), ten years of twelve months, as one big-endian
// bit string.
std::vector<std::uint8_t> encode_record(const ArchiveCell& cell);

// The whole archive: header, the records in the order given (record r is cells[r]), then
// one 7-byte index entry per cell (3-byte key lon_index * 512 + lat_index, 4-byte record
// number, both big-endian) sorted by key. Throws std::invalid_argument on a repeated key or
// a value outside its field.
std::vector<std::uint8_t> build_climate_archive(const std::vector<ArchiveCell>& cells);

} // namespace skyfetch::databuild
