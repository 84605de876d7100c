#include "CellConversion.h"

#include "ClimateConversion.h"

#include <stdexcept>

namespace skyfetch::databuild {
namespace {

std::uint16_t count(RawValue v, Variable var, ClampCounts& clamped) {
    if (v.clamped) {
        // The low end of every field is its first raw value.
        if (v.raw == 0)
            ++clamped.low[static_cast<int>(var)];
        else
            ++clamped.high[static_cast<int>(var)];
    }
    return static_cast<std::uint16_t>(v.raw);
}

} // namespace

ArchiveCell convert_cell(const SourceCell& cell, SourceUnits units, ClampCounts& clamped) {
    static_assert(kSeriesMonths == kRecordMonths);
    if (cell.months <= 0 || kRecordMonths % cell.months != 0)
        throw std::invalid_argument("a cell must hold whole years of months");
    ArchiveCell out;
    out.lon_index = cell.lon_index;
    out.lat_index = cell.lat_index;
    const auto& v = cell.values;
    const bool series = units == SourceUnits::SeriesUnits;
    // Clamps are counted on the source values only, not on their repeats.
    ClampCounts repeats;
    for (int k = 0; k < kRecordMonths; ++k) {
        const int s = k % cell.months;
        const int m = k % 12;
        ClampCounts& c = k < cell.months ? clamped : repeats;
        out.mtemp[k] = count(series ? convert_series_temperature(v[0][s])
                                    : convert_temperature(v[0][s]),
                             Variable::Temperature, c);
        out.mprec[k] = count(series ? convert_series_precipitation(v[1][s])
                                    : convert_precipitation(v[1][s], m),
                             Variable::Precipitation, c);
        out.msun[k] = count(series ? convert_series_sunshine(v[2][s]) : convert_sunshine(v[2][s]),
                            Variable::Cloud, c);
        out.mwet[k] = count(series ? convert_series_wet_days(v[3][s], m)
                                   : convert_wet_days(v[3][s], m),
                            Variable::WetDays, c);
    }
    return out;
}

void assign_soil_codes(std::vector<ArchiveCell>& cells, const TextureCodeMap& texture,
                       const ZoblerGrid& units, SoilCounts& counts) {
    for (ArchiveCell& c : cells) {
        int code = texture.code(c.lon_index, c.lat_index);
        if (code != 0) {
            ++counts.from_texture;
        } else {
            code = texture.nearest_code(c.lon_index, c.lat_index);
            ++(code != 0 ? counts.from_nearest : counts.without);
        }
        if (is_histosol(units.unit(c.lon_index, c.lat_index))) {
            code = kOrganicSoilCode;
            ++counts.organic;
        }
        c.soilcode = code;
        ++counts.histogram[static_cast<std::size_t>(code)];
    }
}

} // namespace skyfetch::databuild
