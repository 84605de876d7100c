#pragma once

#include "SoilTexture.h"

#include <optional>
#include <string>

namespace skyfetch::databuild {

// Reads the GLDAS soil fraction file (netCDF-4): the sand and clay fractions
// (GLDAS_soilfraction_sand, GLDAS_soilfraction_clay) over dimensions (time, lat, lon) with
// one time step, on the regular grid given by its lon and lat variables. Fill values and
// anything outside 0..1 become "no data". The latitudes may run either way; the result
// always has row 0 southernmost.
std::optional<TextureGrid> read_gldas_texture(const std::string& path, std::string& error);

} // namespace skyfetch::databuild
