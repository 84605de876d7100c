#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace skyfetch::databuild {

inline constexpr int kMapColumns = 720;
inline constexpr int kMapRows = 360;
inline constexpr std::size_t kGlobePadding = 2'368'128;
inline constexpr std::size_t kColourMapSize = 720 * 360 * 3;
inline constexpr std::size_t kLandMaskSize = 720 * 360;
inline constexpr std::size_t kGlobeBlockSize = kGlobePadding + kColourMapSize + kLandMaskSize;

// The globe data block: zero padding (so that the colour map ends at 1024 x 1024 x 3 bytes,
// the size of the texture it is later enlarged into), the 720 x 360 blue-green-red colour map
// (row 0 southernmost, column 0 at -180), then the land mask column by column (byte
// lon_index * 360 + lat_index), 1 for every cell given as (lon_index, lat_index), else 0.
// Throws std::invalid_argument when the map has the wrong size or a cell is off the grid.
std::vector<std::uint8_t> build_globe_block(const std::vector<std::uint8_t>& bgr_map,
                                            const std::vector<std::pair<int, int>>& land_cells);

} // namespace skyfetch::databuild
