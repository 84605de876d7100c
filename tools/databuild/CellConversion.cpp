#include "CellConversion.h"

#include "ClimateConversion.h"

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

ArchiveCell convert_cell(const SourceCell& cell, ClampCounts& clamped) {
    ArchiveCell out;
    out.lon_index = cell.lon_index;
    out.lat_index = cell.lat_index;
    const auto& v = cell.values;
    for (int m = 0; m < 12; ++m) {
        out.mtemp[m] = count(convert_temperature(v[0][m]), Variable::Temperature, clamped);
        out.mprec[m] = count(convert_precipitation(v[1][m], m), Variable::Precipitation, clamped);
        out.msun[m] = count(convert_sunshine(v[2][m]), Variable::Cloud, clamped);
        out.mwet[m] = count(convert_wet_days(v[3][m], m), Variable::WetDays, clamped);
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
