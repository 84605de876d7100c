#include "ZoblerGrid.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <strings.h>

namespace skyfetch::databuild {

std::optional<ZoblerGrid> ZoblerGrid::parse(std::string_view text, std::string& error) {
    std::istringstream in{std::string(text)};
    static const char* const kKeys[6] = {"ncols",     "nrows",    "xllcorner",
                                         "yllcorner", "cellsize", "NODATA_value"};
    double header[6] = {};
    for (int i = 0; i < 6; ++i) {
        std::string key;
        if (!(in >> key >> header[i]) || strcasecmp(key.c_str(), kKeys[i]) != 0) {
            error = std::string("expected header line '") + kKeys[i] + " <value>'";
            return std::nullopt;
        }
    }
    if (header[0] != kColumns || header[1] != kRows || header[2] != -180.0 || header[3] != -90.0 ||
        header[4] != 0.5) {
        error = "not the global half-degree grid (720 x 360 from -180, -90, cell size 0.5)";
        return std::nullopt;
    }
    ZoblerGrid grid;
    grid.units_.resize(static_cast<std::size_t>(kColumns) * kRows);
    for (std::size_t i = 0; i < grid.units_.size(); ++i) {
        if (!(in >> grid.units_[i])) {
            error = "grid ends after " + std::to_string(i) + " of " +
                    std::to_string(grid.units_.size()) + " values";
            return std::nullopt;
        }
    }
    std::string rest;
    if (in >> rest) {
        error = "more values than 720 x 360";
        return std::nullopt;
    }
    return grid;
}

std::optional<ZoblerGrid> ZoblerGrid::read_file(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string why;
    auto grid = parse(text, why);
    if (!grid)
        error = path + ": " + why;
    return grid;
}

} // namespace skyfetch::databuild
