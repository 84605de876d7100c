#include "climate/ClimateArchive.h"

#include <cstdint>
#include <cstring>

namespace skyfetch {
namespace {

// Reads a big-endian bit string from its least significant end without moving the
// bytes: the record's values are packed most significant first, so the last value comes
// out first. Each value (at most 25 bits) is cut out of the four bytes that end with the
// byte holding its lowest bit.
class TailBitReader {
public:
    TailBitReader(const unsigned char* begin, std::size_t length)
        : m_begin(begin), m_length(length) {}

    std::uint32_t take(int bits) {
        const std::size_t skipped = m_position / 8;
        const unsigned shift = m_position % 8;
        m_position += static_cast<std::size_t>(bits);
        if (skipped >= m_length)
            return 0;
        const std::size_t last = m_length - 1 - skipped;
        std::uint32_t word;
        if (last >= 3) {
            const unsigned char* p = m_begin + last - 3;
            word = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                   (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
        } else {
            // Near the front of the buffer only zeros lie beyond it, as with a shifted buffer.
            word = 0;
            for (std::size_t k = 0; k <= last; ++k)
                word |= std::uint32_t{m_begin[last - k]} << (8 * k);
        }
        return (word >> shift) & ((std::uint32_t{1} << bits) - 1);
    }

private:
    const unsigned char* m_begin;
    std::size_t m_length;
    std::size_t m_position = 0; // bits already taken from the end
};

// Widths, scales and offsets of the packed fields; they agree with the header that
// open() compared.
struct FieldCode {
    int bits;
    double scale;
    double offset;
};
constexpr FieldCode kSoilcode{4, 1.0, 0.0};
constexpr FieldCode kMtemp{10, 0.1, -50.0};
constexpr FieldCode kMprec{14, 1.0, 0.0};
constexpr FieldCode kMsun{7, 1.0, 0.0};
constexpr FieldCode kMwet{6, 1.0, 0.0};

void decode_months(TailBitReader& reader, const FieldCode& code, double* values) {
    for (int k = kMonthsPerRecord - 1; k >= 0; --k)
        values[k] = static_cast<double>(reader.take(code.bits)) * code.scale + code.offset;
}

bool fits(const GridIndex& index, int bits) {
    const std::uint32_t v = (std::uint32_t{index[0]} << 24) | (std::uint32_t{index[1]} << 16) |
                            (std::uint32_t{index[2]} << 8) | std::uint32_t{index[3]};
    return v < (std::uint32_t{1} << bits);
}

} // namespace

void ClimateArchive::decode_record(CellRecord& record) const {
    TailBitReader reader(m_record, kArchiveRecordSize);
    decode_months(reader, kMwet, record.mwet);
    decode_months(reader, kMsun, record.msun);
    decode_months(reader, kMprec, record.mprec);
    decode_months(reader, kMtemp, record.mtemp);
    record.soilcode =
        static_cast<double>(reader.take(kSoilcode.bits)) * kSoilcode.scale + kSoilcode.offset;
}

bool ClimateArchive::lookup(CellRecord& record) {
    m_lastProbes = 0;
    if (!m_handle)
        return false;

    const GridIndex lonIndex = make_index(record.lon, kLonOrigin, kGridStep);
    const GridIndex latIndex = make_index(record.lat, kLatOrigin, kGridStep);
    // An index wider than its field would spill into the neighbouring field of the key
    // and could name another cell; such a corner is off the grid and never found.
    if (!fits(lonIndex, kLonIndexBits) || !fits(latIndex, kLatIndexBits))
        return false;
    ArchiveKey key{};
    append_bits(key, lonIndex, kLonIndexBits);
    append_bits(key, latIndex, kLatIndexBits);

    // Binary search with a shrinking step. Starting one past half of the entries and
    // halving with rounding up lets the steps add up to reach both ends of the index,
    // also when the number of entries is a power of two.
    const std::int64_t last = static_cast<std::int64_t>(m_recordCount) - 1;
    std::int64_t p = -1;
    std::int64_t s = static_cast<std::int64_t>(m_recordCount / 2) + 1;
    std::int64_t d = 1;
    bool more = true;
    while (more) {
        p += s * d;
        if (p > last)
            p = last;
        else if (p < 0)
            p = 0;
        if (s == 1)
            more = false;
        if (!read_index_entry(static_cast<std::int32_t>(p)))
            return false;
        ++m_lastProbes;
        const int order = std::memcmp(m_indexEntry.data(), key.data(), kArchiveKeySize);
        if (order == 0) {
            if (!read_current_record())
                return false;
            decode_record(record);
            return true;
        }
        d = order < 0 ? 1 : -1;
        s = (s + 1) / 2;
    }
    return false;
}

bool lookup_cell(double cornerLon, double cornerLat, CellRecord& record) {
    record.lon = cornerLon;
    record.lat = cornerLat;
    ClimateArchive archive;
    if (!archive.open())
        return false;
    const bool found = archive.lookup(record);
    archive.close();
    return found;
}

} // namespace skyfetch
