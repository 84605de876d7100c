#pragma once

#include "climate/CellRecord.h"
#include "resources/Resource.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace skyfetch {

// Byte layout of the climate archive: a 764-byte header, N data records of 556 bytes,
// then N index entries of 7 bytes (3-byte cell key, 4-byte record number, both
// big-endian). N follows from the archive's size.
inline constexpr std::size_t kArchiveHeaderSize = 764;
inline constexpr std::size_t kArchiveComparedHeaderSize = 760;
inline constexpr std::size_t kArchiveRecordSize = 556;
inline constexpr std::size_t kArchiveIndexEntrySize = 7;
inline constexpr std::size_t kArchiveKeySize = 3;

// Grid of the cell keys: longitude index in 10 bits above a 9-bit latitude index.
inline constexpr double kLonOrigin = -180.0;
inline constexpr double kLatOrigin = -90.0;
inline constexpr double kGridStep = 0.5;
inline constexpr int kLonIndexBits = 10;
inline constexpr int kLatIndexBits = 9;

using IndexEntry = std::array<unsigned char, kArchiveIndexEntrySize>;
using ArchiveKey = std::array<unsigned char, kArchiveKeySize>;
using GridIndex = std::array<unsigned char, 4>; // big-endian

// Reader of the embedded climate archive. It works on the bytes in place: one object
// is constructed, opened, searched and closed for every lookup.
class ClimateArchive {
public:
    ClimateArchive() = default;
    ~ClimateArchive();
    ClimateArchive(const ClimateArchive&) = delete;
    ClimateArchive& operator=(const ClimateArchive&) = delete;

    // Takes the archive and checks its size and header. On failure nothing is held.
    bool open();
    void close();
    bool is_open() const { return m_handle != nullptr; }

    // Finds the cell whose south-west corner is record.lon, record.lat and decodes its
    // record into the other fields. False when the archive is not held or the cell is
    // not in the index; the record is then left as it was.
    bool lookup(CellRecord& record);

    // Cursor over the archive bytes.
    void reset_cursor() { m_cursor = m_base; }
    void read_bytes(unsigned char* buffer, std::size_t n);
    void advance_cursor(std::ptrdiff_t n) { m_cursor += n; }

    // Reads index entry i (0 .. record_count() - 1) and takes its record number as the
    // current one. False for an entry outside the index.
    bool read_index_entry(std::int32_t i);
    // Reads the record the last index entry points to. False when that record number
    // lies outside the archive (a damaged index must not lead us past its end).
    bool read_current_record();

    std::uint32_t record_count() const { return m_recordCount; }
    std::uint32_t current_record_number() const { return m_currentRecord; }
    const IndexEntry& index_entry() const { return m_indexEntry; }
    const unsigned char* record_buffer() const { return m_record; }
    // Index entries compared during the last lookup's search (0 when none ran).
    int last_probe_count() const { return m_lastProbes; }

    // Grid index trunc((value - origin) / step + 0.5), big-endian. A value whose index
    // is not a 32-bit integer (not finite, far off the grid) gives 0xFFFFFFFF.
    static GridIndex make_index(double value, double origin, double step);
    // Shifts the key left by `bits` and ORs in the low ceil(bits / 8) bytes of index.
    static void append_bits(ArchiveKey& key, const GridIndex& index, int bits);
    // The lowest `bits` (at most 32) bits of the big-endian buffer as an unsigned
    // number, times scale plus offset; the buffer is then shifted right by `bits`.
    static double take_bits(unsigned char* buffer, std::size_t length, int bits, double scale,
                            double offset);

private:
    void release();
    // Decodes the record buffer from its least significant end.
    void decode_record(CellRecord& record) const;

    std::int32_t m_nextEntry = 0;
    std::uint32_t m_currentRecord = 0;
    IndexEntry m_indexEntry{};
    unsigned char m_record[kArchiveRecordSize] = {};
    const void* m_handle = nullptr;
    const unsigned char* m_base = nullptr;
    const unsigned char* m_cursor = nullptr;

    std::size_t m_size = 0;
    std::uint32_t m_recordCount = 0;
    int m_lastProbes = 0;
};

// Constructs an archive, opens it, looks the cell with the given south-west corner up
// and closes it again, as the dialog and the command-line tool do for one location.
bool lookup_cell(double cornerLon, double cornerLat, CellRecord& record);

} // namespace skyfetch
