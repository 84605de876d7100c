#include "GldasReader.h"

#include "NcFile.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skyfetch::databuild {
namespace {

// A one-dimensional coordinate variable that must be evenly spaced.
bool read_axis(int nc, const char* name, const std::string& path, std::vector<double>& values,
               double& step, std::string& error) {
    if (!nc_read_coordinate(nc, name, path, values, error))
        return false;
    const std::size_t n = values.size();
    if (n < 2)
        return nc_fail(error, path, std::string("bad dimension of ") + name, NC_NOERR);
    step = (values[n - 1] - values[0]) / static_cast<double>(n - 1);
    for (std::size_t i = 0; i < n; ++i)
        if (std::fabs(values[i] - (values[0] + step * static_cast<double>(i))) > 1e-4)
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

    std::vector<double> lons, lats;
    double lon_step = 0, lat_step = 0;
    if (!read_axis(nc, "lon", path, lons, lon_step, error) ||
        !read_axis(nc, "lat", path, lats, lat_step, error))
        return std::nullopt;
    if (std::fabs(std::fabs(lat_step) - lon_step) > 1e-6 || lon_step <= 0) {
        nc_fail(error, path, "grid steps of lon and lat differ", NC_NOERR);
        return std::nullopt;
    }
    int lon_dim = 0, lat_dim = 0;
    nc_inq_dimid(nc, "lon", &lon_dim);
    nc_inq_dimid(nc, "lat", &lat_dim);

    TextureGrid grid;
    grid.columns = static_cast<int>(lons.size());
    grid.rows = static_cast<int>(lats.size());
    grid.lon0 = lons.front();
    grid.lat0 = std::min(lats.front(), lats.back());
    grid.step = lon_step;
    const bool north_first = lat_step < 0;
    const std::size_t cells = lons.size() * lats.size();

    const char* names[2] = {"GLDAS_soilfraction_sand", "GLDAS_soilfraction_clay"};
    std::vector<float>* targets[2] = {&grid.sand, &grid.clay};
    for (int k = 0; k < 2; ++k) {
        int var = 0, ndims = 0;
        int st = nc_inq_varid(nc, names[k], &var);
        if (st == NC_NOERR)
            st = nc_inq_varndims(nc, var, &ndims);
        if (st != NC_NOERR || ndims < 2 || ndims > 3) {
            nc_fail(error, path, std::string("no variable ") + names[k] + " over (lat, lon)", st);
            return std::nullopt;
        }
        int dims[3] = {0, 0, 0};
        nc_inq_vardimid(nc, var, dims);
        // The last two dimensions must be lat and lon, in that order; a leading one (time)
        // must hold a single step.
        if (dims[ndims - 2] != lat_dim || dims[ndims - 1] != lon_dim) {
            nc_fail(error, path, std::string(names[k]) + " is not laid out as (lat, lon)", NC_NOERR);
            return std::nullopt;
        }
        if (ndims == 3) {
            std::size_t steps = 0;
            nc_inq_dimlen(nc, dims[0], &steps);
            if (steps != 1) {
                nc_fail(error, path, std::string(names[k]) + " has more than one time step", NC_NOERR);
                return std::nullopt;
            }
        }
        float fill = NC_FILL_FLOAT;
        int no_fill = 0;
        nc_inq_var_fill(nc, var, &no_fill, &fill);
        float missing = fill;
        if (nc_get_att_float(nc, var, "missing_value", &missing) != NC_NOERR)
            missing = fill;

        std::vector<float> raw(cells);
        if ((st = nc_get_var_float(nc, var, raw.data())) != NC_NOERR) {
            nc_fail(error, path, std::string("cannot read ") + names[k], st);
            return std::nullopt;
        }
        std::vector<float>& out = *targets[k];
        out.assign(cells, -1.0f);
        for (std::size_t r = 0; r < lats.size(); ++r) {
            const std::size_t dest_row = north_first ? lats.size() - 1 - r : r;
            for (std::size_t c = 0; c < lons.size(); ++c) {
                const float v = raw[r * lons.size() + c];
                const bool valid = v != fill && v != missing && v >= 0.0f && v <= 1.0f;
                out[dest_row * lons.size() + c] = valid ? v : -1.0f;
            }
        }
    }
    return grid;
}

} // namespace skyfetch::databuild
