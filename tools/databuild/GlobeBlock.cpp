#include "GlobeBlock.h"

#include <algorithm>
#include <stdexcept>

namespace skyfetch::databuild {

std::vector<std::uint8_t> build_globe_block(const std::vector<std::uint8_t>& bgr_map,
                                            const std::vector<std::pair<int, int>>& land_cells) {
    if (bgr_map.size() != kColourMapSize)
        throw std::invalid_argument("colour map is not 720 x 360 x 3 bytes");
    std::vector<std::uint8_t> block(kGlobeBlockSize, 0);
    std::copy(bgr_map.begin(), bgr_map.end(), block.begin() + kGlobePadding);
    std::uint8_t* mask = block.data() + kGlobePadding + kColourMapSize;
    for (const auto& [lon, lat] : land_cells) {
        if (lon < 0 || lon >= kMapColumns || lat < 0 || lat >= kMapRows)
            throw std::invalid_argument("land cell outside the half-degree grid");
        mask[static_cast<std::size_t>(lon) * kMapRows + lat] = 1;
    }
    return block;
}

} // namespace skyfetch::databuild
