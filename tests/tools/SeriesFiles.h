#pragma once

// Small netCDF files laid out like the CRU TS monthly series: one variable over
// (time, lat, lon) as float, time in days since 1900-1-1 at the middle of each month,
// latitudes from south to north, and 9.96921e36 as _FillValue and missing_value.

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

inline void write_series_file(const SeriesFileContent& s) {
    int nc = 0;
    nc_check(nc_create(s.path.c_str(), NC_CLOBBER, &nc), s.path);
    int lon_dim = 0, lat_dim = 0, time_dim = 0;
    nc_check(nc_def_dim(nc, "lon", s.lons.size(), &lon_dim), "lon");
    nc_check(nc_def_dim(nc, "lat", s.lats.size(), &lat_dim), "lat");
    nc_check(nc_def_dim(nc, "time", NC_UNLIMITED, &time_dim), "time");
    int lon_var = 0, lat_var = 0, time_var = 0, var = 0;
    nc_check(nc_def_var(nc, "lon", NC_FLOAT, 1, &lon_dim, &lon_var), "lon var");
    nc_check(nc_def_var(nc, "lat", NC_FLOAT, 1, &lat_dim, &lat_var), "lat var");
    nc_check(nc_def_var(nc, "time", NC_FLOAT, 1, &time_dim, &time_var), "time var");
    nc_check(nc_put_att_text(nc, time_var, "units", s.time_units.size(), s.time_units.c_str()),
             "units");
    nc_check(nc_put_att_text(nc, time_var, "calendar", 9, "gregorian"), "calendar");
    const int dims[3] = {time_dim, lat_dim, lon_dim};
    nc_check(nc_def_var(nc, s.variable.c_str(), NC_FLOAT, 3, dims, &var), s.variable);
    nc_check(nc_put_att_float(nc, var, "_FillValue", NC_FLOAT, 1, &kSeriesFill), "fill");
    nc_check(nc_put_att_float(nc, var, "missing_value", NC_FLOAT, 1, &kSeriesFill), "missing");
    nc_check(nc_enddef(nc), "enddef");

    const std::vector<float> lons(s.lons.begin(), s.lons.end());
    const std::vector<float> lats(s.lats.begin(), s.lats.end());
    nc_check(nc_put_var_float(nc, lon_var, lons.data()), "lon values");
    nc_check(nc_put_var_float(nc, lat_var, lats.data()), "lat values");
    for (int y = 0; y < s.years; ++y)
        for (int m = 0; m < 12; ++m) {
            const std::size_t t = static_cast<std::size_t>(y * 12 + m);
            const float day = static_cast<float>(mid_month_days(s.first_year + y, m));
            nc_check(nc_put_var1_float(nc, time_var, &t, &day), "time value");
            std::vector<float> slab;
            for (std::size_t i = 0; i < lats.size(); ++i)
                for (std::size_t j = 0; j < lons.size(); ++j) {
                    const double v = s.value(s.first_year + y, m, int(i), int(j));
                    slab.push_back(std::isnan(v) ? kSeriesFill : static_cast<float>(v));
                }
            const std::size_t start[3] = {t, 0, 0};
            const std::size_t count[3] = {1, lats.size(), lons.size()};
            nc_check(nc_put_vara_float(nc, var, start, count, slab.data()), "values");
        }
    nc_check(nc_close(nc), "close");
}

} // namespace skyfetch::test
