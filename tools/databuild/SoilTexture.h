#pragma once

#include <cstdint>
#include <vector>

namespace skyfetch::databuild {

// FAO texture classes of a soil from its sand and clay fractions (0..1).
enum TextureClass { kCoarse = 1, kMedium = 2, kFine = 3 };
int texture_class(double sand, double clay);

// Code of a half-degree cell from the set of texture classes found among its sub-cells,
// given as bits (1 << (class - 1)): {1} 1, {2} 2, {3} 3, {1,2} 4, {1,3} 5, {2,3} 6,
// {1,2,3} 7; the empty set gives 0 (no texture data).
int texture_set_code(unsigned class_bits);

// Organic soils override the texture code.
inline constexpr int kOrganicSoilCode = 8;
// Post & Zobler soil units 61, 62 and 63 are Histosols.
bool is_histosol(int soil_unit);

// Sand and clay fractions on a regular grid of cell centres (row 0 southernmost, column 0
// westernmost); cells without data are negative.
struct TextureGrid {
    int columns = 0;
    int rows = 0;
    double lon0 = 0; // centre of column 0
    double lat0 = 0; // centre of row 0
    double step = 0.25;
    std::vector<float> sand;
    std::vector<float> clay;

    bool has(int column, int row) const {
        const std::size_t i = static_cast<std::size_t>(row) * columns + column;
        return sand[i] >= 0 && clay[i] >= 0;
    }
};

// Texture codes of the 720 x 360 half-degree cells, indexed lat_index * 720 + lon_index
// (corner at -180 + 0.5 lon_index, -90 + 0.5 lat_index): the set code of the texture grid
// cells whose centres fall inside, 0 where none of them has data.
class TextureCodeMap {
public:
    static constexpr int kColumns = 720;
    static constexpr int kRows = 360;

    TextureCodeMap();
    explicit TextureCodeMap(const TextureGrid& grid);

    int code(int lon_index, int lat_index) const {
        return codes_[static_cast<std::size_t>(lat_index) * kColumns + lon_index];
    }
    void set_code(int lon_index, int lat_index, int code) {
        codes_[static_cast<std::size_t>(lat_index) * kColumns + lon_index] =
            static_cast<std::uint8_t>(code);
    }

    // The code of the nearest cell that has one, by great-circle distance between cell
    // centres; of equally near cells the one with the lowest key (lon_index * 512 +
    // lat_index). 0 when no cell has a code.
    int nearest_code(int lon_index, int lat_index) const;

private:
    std::vector<std::uint8_t> codes_;
};

} // namespace skyfetch::databuild
