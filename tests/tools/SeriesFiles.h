#pragma once

// Small netCDF files laid out like the CRU TS monthly series: one variable over
// (time, lat, lon) as float, time in days since 1900-1-1 at the middle of each month,
// latitudes from south to north, and 9.96921e36 as _FillValue and missing_value.
// And files laid out like the GLDAS soil fractions: sand and clay over (time, lat, lon)
// with one time step.

#include <netcdf.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace skyfetch::test {

inline constexpr float kSeriesFill = 9.96921e36f;

// Value of a variable in a month (0 = January) at grid step (lat_i, lon_i); NaN is missing.
using SeriesValue = std::function<double(int year, int month, int lat_i, int lon_i)>;

struct SeriesFileContent {
    std::string path;
    std::string variable; // "tmp", "pre", "cld" or "wet"
    int first_year = 1981;
    int years = 10;
    std::vector<double> lats;
    std::vector<double> lons;
    SeriesValue value;
    std::string time_units = "days since 1900-1-1";
    std::vector<double> extra_times; // time steps after the months, without values
    std::vector<float> missing_values = {kSeriesFill};
    std::size_t extra_lats = 0; // see define_axis
};

// Days from 1 January 1900 to the 16th of the month.
inline double mid_month_days(int year, int month) {
    using namespace std::chrono;
    const sys_days day = std::chrono::year{year} / std::chrono::month{unsigned(month + 1)} / 16;
    const sys_days epoch = std::chrono::year{1900} / January / 1;
    return static_cast<double>((day - epoch).count());
}

inline void nc_check(int status, const std::string& what) {
    if (status != NC_NOERR)
        throw std::runtime_error(what + ": " + nc_strerror(status));
}

// Defines the coordinate variable `name` (float, n values) and the dimension the data
// variables use for it: normally the coordinate's own; with `extra` > 0 a dimension of that
// name `extra` steps longer, the coordinate moving to a dimension "<name>_values".
inline int define_axis(int nc, const char* name, std::size_t n, std::size_t extra, int& data_dim) {
    int coord_dim = 0, var = 0;
    const std::string coord_dim_name = extra > 0 ? std::string(name) + "_values" : name;
    nc_check(nc_def_dim(nc, coord_dim_name.c_str(), n, &coord_dim), name);
    data_dim = coord_dim;
    if (extra > 0)
        nc_check(nc_def_dim(nc, name, n + extra, &data_dim), name);
    nc_check(nc_def_var(nc, name, NC_FLOAT, 1, &coord_dim, &var), name);
    return var;
}

inline void put_floats(int nc, int var, const std::vector<double>& values) {
    const std::vector<float> f(values.begin(), values.end());
    nc_check(nc_put_var_float(nc, var, f.data()), "coordinate values");
}

inline void write_series_file(const SeriesFileContent& s) {
    int nc = 0;
    nc_check(nc_create(s.path.c_str(), NC_CLOBBER, &nc), s.path);
    int lon_dim = 0, lat_dim = 0, time_dim = 0;
    const int lon_var = define_axis(nc, "lon", s.lons.size(), 0, lon_dim);
    const int lat_var = define_axis(nc, "lat", s.lats.size(), s.extra_lats, lat_dim);
    nc_check(nc_def_dim(nc, "time", NC_UNLIMITED, &time_dim), "time");
    int time_var = 0, var = 0;
    nc_check(nc_def_var(nc, "time", NC_FLOAT, 1, &time_dim, &time_var), "time var");
    nc_check(nc_put_att_text(nc, time_var, "units", s.time_units.size(), s.time_units.c_str()),
             "units");
    nc_check(nc_put_att_text(nc, time_var, "calendar", 9, "gregorian"), "calendar");
    const int dims[3] = {time_dim, lat_dim, lon_dim};
    nc_check(nc_def_var(nc, s.variable.c_str(), NC_FLOAT, 3, dims, &var), s.variable);
    nc_check(nc_put_att_float(nc, var, "_FillValue", NC_FLOAT, 1, &kSeriesFill), "fill");
    nc_check(nc_put_att_float(nc, var, "missing_value", NC_FLOAT, s.missing_values.size(),
                              s.missing_values.data()),
             "missing");
    nc_check(nc_enddef(nc), "enddef");

    put_floats(nc, lon_var, s.lons);
    put_floats(nc, lat_var, s.lats);
    const std::size_t rows = s.lats.size() + s.extra_lats, columns = s.lons.size();
    for (int y = 0; y < s.years; ++y)
        for (int m = 0; m < 12; ++m) {
            const std::size_t t = static_cast<std::size_t>(y * 12 + m);
            const float day = static_cast<float>(mid_month_days(s.first_year + y, m));
            nc_check(nc_put_var1_float(nc, time_var, &t, &day), "time value");
            std::vector<float> slab;
            for (std::size_t i = 0; i < rows; ++i)
                for (std::size_t j = 0; j < columns; ++j) {
                    const double v = s.value(s.first_year + y, m, int(i), int(j));
                    slab.push_back(std::isnan(v) ? kSeriesFill : static_cast<float>(v));
                }
            const std::size_t start[3] = {t, 0, 0};
            const std::size_t count[3] = {1, rows, columns};
            nc_check(nc_put_vara_float(nc, var, start, count, slab.data()), "values");
        }
    for (std::size_t k = 0; k < s.extra_times.size(); ++k) {
        const std::size_t t = static_cast<std::size_t>(s.years) * 12 + k;
        const float day = static_cast<float>(s.extra_times[k]);
        nc_check(nc_put_var1_float(nc, time_var, &t, &day), "extra time value");
    }
    nc_check(nc_close(nc), "close");
}

inline constexpr const char* kSandName = "GLDAS_soilfraction_sand";
inline constexpr const char* kClayName = "GLDAS_soilfraction_clay";

struct SoilFileContent {
    std::string path;
    int format = NC_NETCDF4; // or 0: the classic format
    std::vector<double> lats;
    std::vector<double> lons;
    nc_type type = NC_FLOAT;                          // of sand and clay
    std::function<double(int lat_i, int lon_i)> sand; // clay is 1 - sand
    std::vector<float> missing_values;                // of sand, if any
    std::size_t extra_lats = 0, extra_lons = 0;       // see define_axis
};

inline void write_soil_file(const SoilFileContent& s) {
    int nc = 0;
    nc_check(nc_create(s.path.c_str(), NC_CLOBBER | s.format, &nc), s.path);
    int lon_dim = 0, lat_dim = 0, time_dim = 0;
    const int lon_var = define_axis(nc, "lon", s.lons.size(), s.extra_lons, lon_dim);
    const int lat_var = define_axis(nc, "lat", s.lats.size(), s.extra_lats, lat_dim);
    nc_check(nc_def_dim(nc, "time", 1, &time_dim), "time");
    const int dims[3] = {time_dim, lat_dim, lon_dim};
    int vars[2] = {0, 0};
    for (int k = 0; k < 2; ++k)
        nc_check(nc_def_var(nc, k == 0 ? kSandName : kClayName, s.type, 3, dims, &vars[k]),
                 "fraction");
    if (!s.missing_values.empty())
        nc_check(nc_put_att_float(nc, vars[0], "missing_value", s.type, s.missing_values.size(),
                                  s.missing_values.data()),
                 "missing");
    nc_check(nc_enddef(nc), "enddef");
    put_floats(nc, lon_var, s.lons);
    put_floats(nc, lat_var, s.lats);
    const std::size_t rows = s.lats.size() + s.extra_lats, columns = s.lons.size() + s.extra_lons;
    std::vector<double> sand, clay;
    for (std::size_t i = 0; i < rows; ++i)
        for (std::size_t j = 0; j < columns; ++j) {
            sand.push_back(s.sand(int(i), int(j)));
            clay.push_back(1.0 - sand.back());
        }
    nc_check(nc_put_var_double(nc, vars[0], sand.data()), "sand values");
    nc_check(nc_put_var_double(nc, vars[1], clay.data()), "clay values");
    nc_check(nc_close(nc), "close");
}

} // namespace skyfetch::test
