#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyfetch::databuild {

// Post & Zobler soil units on the 720 x 360 half-degree grid, read from an ESRI ASCII grid
// (six header lines: ncols, nrows, xllcorner, yllcorner, cellsize, NODATA_value; then the
// values row by row from the northernmost). Values are read as one stream of numbers, so it
// does not matter how the rows are broken into lines.
class ZoblerGrid {
public:
    static constexpr int kColumns = 720;
    static constexpr int kRows = 360;

    static std::optional<ZoblerGrid> read_file(const std::string& path, std::string& error);
    static std::optional<ZoblerGrid> parse(std::string_view text, std::string& error);

    // Soil unit of the cell with south-west corner -180 + 0.5 lon_index, -90 + 0.5 lat_index
    // (the NODATA value where there is none).
    int unit(int lon_index, int lat_index) const {
        return units_[static_cast<std::size_t>(kRows - 1 - lat_index) * kColumns + lon_index];
    }

private:
    std::vector<int> units_; // as stored: row 0 northernmost
};

} // namespace skyfetch::databuild
