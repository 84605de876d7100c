#pragma once

#include "ClimateArchiveWriter.h"
#include "ClimateCells.h"
#include "SoilTexture.h"
#include "ZoblerGrid.h"

#include <array>

namespace skyfetch::databuild {

// How many source values (one per cell and month) had to be limited to their field's range.
struct ClampCounts {
    std::array<long, kVariables> low{};
    std::array<long, kVariables> high{};
};

// Units of the source values: the CRU CL climatology stores tenths (of a degree, of a mm
// per day, of a day); the CRU TS series store degrees, mm per month and days.
enum class SourceUnits { ClimatologyTenths, SeriesUnits };

// One cell's values in archive units (soil code still 0). A cell with twelve months is a
// mean year and fills all ten data years with it; its clamped values are counted once.
ArchiveCell convert_cell(const SourceCell& cell, SourceUnits units, ClampCounts& clamped);

struct SoilCounts {
    long from_texture = 0; // code from the cell's own texture sub-cells
    long from_nearest = 0; // code taken over from the nearest cell with texture data
    long organic = 0;      // Histosols, whatever the texture said
    long without = 0;      // no texture data anywhere: left at 0
    std::array<long, 13> histogram{};
};

// Soil code of every cell: its texture code; where it has none, the nearest cell's texture
// code; 8 (organic) on Post & Zobler Histosols.
void assign_soil_codes(std::vector<ArchiveCell>& cells, const TextureCodeMap& texture,
                       const ZoblerGrid& units, SoilCounts& counts);

} // namespace skyfetch::databuild
