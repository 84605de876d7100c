#include "GldasReader.h"

#include "NcFile.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skyfetch::databuild {
namespace {

// Most cells the texture grid may have: 2^28, some three hundred times a quarter-degree
// global grid, and still small enough to hold in memory.
constexpr std::size_t kMaxCells = std::size_t{1} << 28;

// A one-dimensional coordinate variable that must be evenly spaced.
bool read_axis(int nc, const char* name, const std::string& path, NcAxis& axis, double& step,
               std::string& error) {
    if (!nc_read_coordinate(nc, name, path, axis, error))
        return false;
    const std::vector<double>& values = axis.values;
    const std::size_t n = values.size();
    if (n < 2)
        return nc_fail(error, path, std::string("bad dimension of ") + name, NC_NOERR);
    step = (values[n - 1] - values[0]) / static_cast<double>(n - 1);
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isfinite(values[i]) ||
            !(std::fabs(values[i] - (values[0] + step * static_cast<double>(i))) <= 1e-4))
            return nc_fail(error, path, std::string(name) + " is not evenly spaced", NC_NOERR);
    return true;
}

} // namespace

std::optional<TextureGrid> read_gldas_texture(const std::string& path, std::string& error) {
    NcFile file(path);
    if (file.status() != NC_NOERR) {
        nc_fail(error, path, "cannot open", file.status());
        return std::nullopt;
    }
    const int nc = file.id();

    NcAxis lon, lat;
    double lon_step = 0, lat_step = 0;
    if (!read_axis(nc, "lon", path, lon, lon_step, error) ||
        !read_axis(nc, "lat", path, lat, lat_step, error))
        return std::nullopt;
    if (std::fabs(std::fabs(lat_step) - lon_step) > 1e-6 || lon_step <= 0) {
        nc_fail(error, path, "grid steps of lon and lat differ", NC_NOERR);
        return std::nullopt;
    }
    const std::size_t rows = lat.values.size(), columns = lon.values.size();
    // Both at most kMaxAxisLength, so the product does not overflow.
    const std::size_t cells = rows * columns;
    if (cells > kMaxCells) {
        nc_fail(error, path,
                "a grid of " + std::to_string(columns) + " x " + std::to_string(rows) +
                    " cells is too large",
                NC_NOERR);
        return std::nullopt;
    }

    TextureGrid grid;
    grid.columns = static_cast<int>(columns);
    grid.rows = static_cast<int>(rows);
    grid.lon0 = lon.values.front();
    grid.lat0 = std::min(lat.values.front(), lat.values.back());
    grid.step = lon_step;
    const bool north_first = lat_step < 0;

    const char* names[2] = {"GLDAS_soilfraction_sand", "GLDAS_soilfraction_clay"};
    std::vector<float>* targets[2] = {&grid.sand, &grid.clay};
    std::vector<double> raw(cells);
    for (int k = 0; k < 2; ++k) {
        int var = 0;
        int st = nc_inq_varid(nc, names[k], &var);
        if (st != NC_NOERR) {
            nc_fail(error, path, std::string("no variable ") + names[k] + " over (lat, lon)", st);
            return std::nullopt;
        }
        // (lat, lon), perhaps after a single time step.
        int leading = 0;
        std::vector<double> no_data;
        if (!nc_check_layout(nc, var, names[k], {&lat, &lon}, 1, path, leading, error) ||
            !nc_no_data_values(nc, var, names[k], path, no_data, error))
            return std::nullopt;
        const std::size_t start[3] = {0, 0, 0};
        const std::size_t count[3] = {1, rows, columns};
        if ((st = nc_get_vara_double(nc, var, start, count + 1 - leading, raw.data())) !=
            NC_NOERR) {
            nc_fail(error, path, std::string("cannot read ") + names[k], st);
            return std::nullopt;
        }
        std::vector<float>& out = *targets[k];
        out.assign(cells, -1.0f);
        for (std::size_t r = 0; r < rows; ++r) {
            const std::size_t dest_row = north_first ? rows - 1 - r : r;
            for (std::size_t c = 0; c < columns; ++c) {
                const double v = raw[r * columns + c];
                const bool valid = v >= 0.0 && v <= 1.0 &&
                                   std::find(no_data.begin(), no_data.end(), v) == no_data.end();
                out[dest_row * columns + c] = valid ? static_cast<float>(v) : -1.0f;
            }
        }
    }
    return grid;
}

} // namespace skyfetch::databuild
