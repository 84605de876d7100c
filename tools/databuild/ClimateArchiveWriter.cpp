#include "ClimateArchiveWriter.h"

#include "ArchiveHeader.h"
#include "BitWriter.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace skyfetch::databuild {
namespace {

void put_monthly(BitWriter& w, const MonthlyRaw& values, int bits) {
    for (std::uint16_t v : values)
        w.put(v, bits);
}

int key_of(const ArchiveCell& c) {
    return c.lon_index * 512 + c.lat_index;
}

} // namespace

std::vector<std::uint8_t> encode_record(const ArchiveCell& cell) {
    const auto above = [](const MonthlyRaw& values, int max) {
        return std::any_of(values.begin(), values.end(),
                           [max](std::uint16_t v) { return v > max; });
    };
    if (cell.soilcode < 0 || cell.soilcode > 12 || above(cell.mtemp, 1000) ||
        above(cell.mprec, 9999) || above(cell.msun, 100) || above(cell.mwet, 31))
        throw std::invalid_argument("cell value outside its archive field");
    BitWriter w;
    w.put(0, 4); // padding
    w.put(static_cast<std::uint32_t>(cell.soilcode), 4);
    put_monthly(w, cell.mtemp, 10);
    put_monthly(w, cell.mprec, 14);
    put_monthly(w, cell.msun, 7);
    put_monthly(w, cell.mwet, 6);
    if (w.bit_count() != kRecordSize * 8)
        throw std::logic_error("record layout does not fill 556 bytes");
    return w.bytes();
}

std::vector<std::uint8_t> build_climate_archive(const std::vector<ArchiveCell>& cells) {
    for (const ArchiveCell& c : cells)
        if (c.lon_index < 0 || c.lon_index >= 720 || c.lat_index < 0 || c.lat_index >= 360)
            throw std::invalid_argument("cell outside the half-degree grid");

    const auto header = make_archive_header();
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.reserve(out.size() + cells.size() * (kRecordSize + kIndexEntrySize));
    for (const ArchiveCell& c : cells) {
        const auto record = encode_record(c);
        out.insert(out.end(), record.begin(), record.end());
    }

    std::vector<std::uint32_t> order(cells.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return key_of(cells[a]) < key_of(cells[b]);
    });
    for (std::size_t i = 1; i < order.size(); ++i)
        if (key_of(cells[order[i]]) == key_of(cells[order[i - 1]]))
            throw std::invalid_argument("two cells with the same key");
    for (std::uint32_t r : order) {
        const auto key = static_cast<std::uint32_t>(key_of(cells[r]));
        const std::uint8_t entry[kIndexEntrySize] = {
            static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
            static_cast<std::uint8_t>(key),       static_cast<std::uint8_t>(r >> 24),
            static_cast<std::uint8_t>(r >> 16),   static_cast<std::uint8_t>(r >> 8),
            static_cast<std::uint8_t>(r)};
        out.insert(out.end(), entry, entry + kIndexEntrySize);
    }
    return out;
}

} // namespace skyfetch::databuild
