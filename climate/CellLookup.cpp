#include "climate/ClimateArchive.h"
#include "climate/RecordBits.h"

#include <cstdint>
#include <cstring>

namespace skyfetch {
namespace {

void decode_months(TailBitReader& reader, const FieldCode& code, double* values) {
    for (int k = kMonthsPerRecord - 1; k >= 0; --k)
        values[k] = reader.take(code);
}

bool fits(const GridIndex& index, int bits) {
    const std::uint32_t v = (std::uint32_t{index[0]} << 24) | (std::uint32_t{index[1]} << 16) |
                            (std::uint32_t{index[2]} << 8) | std::uint32_t{index[3]};
    return v < (std::uint32_t{1} << bits);
}

} // namespace

void ClimateArchive::decode_record(CellRecord& record) const {
    TailBitReader reader(m_record, kArchiveRecordSize);
    decode_months(reader, kRainDaysField, record.mwet);
    decode_months(reader, kSunshineField, record.msun);
    decode_months(reader, kPrecipitationField, record.mprec);
    decode_months(reader, kTemperatureField, record.mtemp);
    record.soilcode = reader.take(kSoilcodeField);
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
