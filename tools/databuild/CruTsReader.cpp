#include "CruTsReader.h"

#include "ClimateConversion.h"
#include "NcFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>

namespace skyfetch::databuild {
namespace {

namespace fs = std::filesystem;

constexpr int kGridColumns = 720;
constexpr int kGridRows = 360;
const std::string kYearRange = std::to_string(kFirstYear) + " to " + std::to_string(kLastYear);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
long days_from_civil(long y, long m, long d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civil_from_days(long z, long& y, long& m) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2);
}

std::string month_text(int key) {
    return std::string(month_name(key % 12)) + " " + std::to_string(key / 12);
}

// A text attribute, or "" when the variable has none.
std::string text_attribute(int nc, int var, const char* name) {
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(nc, var, name, &type, &length) != NC_NOERR || type != NC_CHAR)
        return {};
    std::string text(length, '\0');
    if (nc_get_att_text(nc, var, name, text.data()) != NC_NOERR)
        return {};
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The date of units "days since Y-M-D" (anything may follow the day); false for other units.
bool parse_days_since(const std::string& units, long& year, long& month, long& day) {
    const std::string prefix = "days since";
    if (units.compare(0, prefix.size(), prefix) != 0)
        return false;
    const char* p = units.c_str() + prefix.size();
    long* parts[3] = {&year, &month, &day};
    for (int k = 0; k < 3; ++k) {
        char* end = nullptr;
        *parts[k] = std::strtol(p, &end, 10); // out of range: LONG_MIN or LONG_MAX
        if (end == p || (k < 2 && *end != '-'))
            return false;
        p = end + 1;
    }
    return true;
}

// Month keys (year x 12 + month) of the time steps.
bool read_time_axis(int nc, const std::string& path, const NcAxis& time, std::vector<int>& keys,
                    std::string& error) {
    int var = 0;
    nc_inq_varid(nc, "time", &var);
    const std::string units = lower(text_attribute(nc, var, "units"));
    long y = 0, m = 0, d = 0;
    if (!parse_days_since(units, y, m, d) || m < 1 || m > 12 || d < 1 || d > 31)
        return nc_fail(error, path,
                       "time is not in \"days since\" a date (units \"" + units + "\")", NC_NOERR);
    if (y < kFirstYear || y > kLastYear)
        return nc_fail(error, path,
                       "time units \"" + units + "\" count from a date outside the years " +
                           kYearRange,
                       NC_NOERR);
    const std::string calendar = lower(text_attribute(nc, var, "calendar"));
    if (!calendar.empty() && calendar != "gregorian" && calendar != "standard" &&
        calendar != "proleptic_gregorian")
        return nc_fail(error, path, "calendar \"" + calendar + "\" is not supported", NC_NOERR);
    keys.clear();
    for (double t : time.values) {
        int year = 0, month = 0;
        if (!civil_month_of(t, static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), year,
                            month)) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", t);
            return nc_fail(error, path,
                           std::string("time value ") + text + " (" + units +
                               ") falls outside the years " + kYearRange,
                           NC_NOERR);
        }
        keys.push_back(year * 12 + month);
    }
    return true;
}

// Grid positions (row or column of the layout above) of a coordinate's values, which must be
// centres of half-degree cells, each cell at most once.
bool grid_positions(const NcAxis& axis, const std::string& path, std::vector<int>& positions,
                    std::string& error) {
    const char* name = axis.name.c_str();
    const bool is_lon = axis.name == "lon";
    std::set<int> seen;
    positions.clear();
    for (double v : axis.values) {
        if (is_lon && v >= 180.0)
            v -= 360.0; // 0..360 east as well as -180..180
        const double k = is_lon ? (v + 180.0) / 0.5 - 0.5 : (v + 90.0) / 0.5 - 0.5;
        const long index = std::lround(k);
        const int count = is_lon ? kGridColumns : kGridRows;
        if (!std::isfinite(k) || std::fabs(k - static_cast<double>(index)) > 1e-3 || index < 0 ||
            index >= count || !seen.insert(static_cast<int>(index)).second) {
            char text[64];
            std::snprintf(text, sizeof text, "%g", v);
            return nc_fail(error, path,
                           std::string(name) + " value " + text +
                               " is not the centre of a half-degree cell of its own",
                           NC_NOERR);
        }
        const int i = static_cast<int>(index);
        positions.push_back(is_lon ? (i + kGridColumns / 2) % kGridColumns : kGridRows - 1 - i);
    }
    return true;
}

// The values that mean "no data" for a variable, and its packing.
struct ValueRules {
    std::vector<double> no_data;
    double scale = 1.0;
    double offset = 0.0;

    bool is_missing(double raw) const {
        return !std::isfinite(raw) ||
               std::find(no_data.begin(), no_data.end(), raw) != no_data.end();
    }
};

// A packing attribute (scale_factor, add_offset): one number, or `value` left alone when
// the variable has none.
bool packing_attribute(int nc, int var, const char* var_name, const char* attribute,
                       const std::string& path, double& value, std::string& error) {
    std::vector<double> values;
    if (!nc_read_numbers(nc, var, var_name, attribute, path, values, error))
        return false;
    if (values.size() > 1)
        return nc_fail(error, path,
                       std::string(var_name) + ":" + attribute + " holds " +
                           std::to_string(values.size()) + " numbers, expected one",
                       NC_NOERR);
    if (values.size() == 1)
        value = values[0];
    return true;
}

bool value_rules(int nc, int var, const char* name, const std::string& path, ValueRules& r,
                 std::string& error) {
    return nc_no_data_values(nc, var, name, path, r.no_data, error) &&
           packing_attribute(nc, var, name, "scale_factor", path, r.scale, error) &&
           packing_attribute(nc, var, name, "add_offset", path, r.offset, error);
}

// One netCDF file with the variables it holds.
struct SeriesFile {
    std::string path;
    std::unique_ptr<NcFile> nc;
    std::vector<int> time_keys;
    std::vector<int> rows;    // per lat step
    std::vector<int> columns; // per lon step
    std::array<int, kVariables> var{-1, -1, -1, -1};
    std::array<ValueRules, kVariables> rules;
};

// Opens a file and checks each of our variables in it: over (time, lat, lon), the
// dimensions of the coordinate variables, and with usable attributes.
bool open_series_file(const fs::path& file, SeriesFile& out, std::string& error) {
    out.path = file.string();
    out.nc = std::make_unique<NcFile>(out.path);
    if (out.nc->status() != NC_NOERR)
        return nc_fail(error, out.path, "cannot open as netCDF", out.nc->status());
    const int nc = out.nc->id();
    for (int v = 0; v < kVariables; ++v) {
        int var = -1;
        if (nc_inq_varid(nc, series_variable_name(static_cast<Variable>(v)), &var) == NC_NOERR)
            out.var[static_cast<std::size_t>(v)] = var;
    }
    if (std::all_of(out.var.begin(), out.var.end(), [](int v) { return v < 0; }))
        return true; // none of ours: ignored
    NcAxis time, lat, lon;
    if (!nc_read_coordinate(nc, "time", out.path, time, error) ||
        !nc_read_coordinate(nc, "lat", out.path, lat, error) ||
        !nc_read_coordinate(nc, "lon", out.path, lon, error))
        return false;
    for (int v = 0; v < kVariables; ++v) {
        const int var = out.var[static_cast<std::size_t>(v)];
        const char* name = series_variable_name(static_cast<Variable>(v));
        int leading = 0;
        if (var >= 0 &&
            (!nc_check_layout(nc, var, name, {&time, &lat, &lon}, 0, out.path, leading, error) ||
             !value_rules(nc, var, name, out.path, out.rules[static_cast<std::size_t>(v)], error)))
            return false;
    }
    return read_time_axis(nc, out.path, time, out.time_keys, error) &&
           grid_positions(lat, out.path, out.rows, error) &&
           grid_positions(lon, out.path, out.columns, error);
}

// Reads one time step of a variable; the layout checks made sure that the variable holds
// `step` and runs over exactly rows.size() x columns.size() cells.
bool read_step(const SeriesFile& file, int v, std::size_t step, int month, MonthlyGrid& grid,
               std::string& error) {
    const int nc = file.nc->id();
    const int var = file.var[static_cast<std::size_t>(v)];
    const std::size_t nlat = file.rows.size(), nlon = file.columns.size();
    std::vector<double> slab(nlat * nlon);
    const std::size_t start[3] = {step, 0, 0};
    const std::size_t count[3] = {1, nlat, nlon};
    if (!slab.empty()) {
        const int st = nc_get_vara_double(nc, var, start, count, slab.data());
        if (st != NC_NOERR)
            return nc_fail(
                error, file.path,
                std::string("cannot read ") + series_variable_name(static_cast<Variable>(v)), st);
    }
    const ValueRules& rules = file.rules[static_cast<std::size_t>(v)];
    for (std::size_t r = 0; r < nlat; ++r)
        for (std::size_t c = 0; c < nlon; ++c) {
            const double raw = slab[r * nlon + c];
            if (!rules.is_missing(raw))
                grid.set(month, file.rows[r], file.columns[c], raw * rules.scale + rules.offset);
        }
    return true;
}

std::string file_name(const std::string& path) {
    return fs::path(path).filename().string();
}

} // namespace

const char* series_variable_name(Variable v) {
    static const char* const kNames[kVariables] = {"tmp", "pre", "cld", "wet"};
    return kNames[static_cast<int>(v)];
}

bool civil_month_of(double days, int epoch_year, int epoch_month, int epoch_day, int& year,
                    int& month) {
    // Ten thousand years are some 3.65 million days: bounding the day count first keeps the
    // conversion to long and the calendar arithmetic far from overflow.
    if (epoch_year < kFirstYear || epoch_year > kLastYear || epoch_month < 1 || epoch_month > 12 ||
        epoch_day < 1 || epoch_day > 31 || !(std::fabs(days) < 1e7))
        return false;
    const long z =
        days_from_civil(epoch_year, epoch_month, epoch_day) + static_cast<long>(std::floor(days));
    long y = 0, m = 0;
    civil_from_days(z, y, m);
    if (y < kFirstYear || y > kLastYear)
        return false;
    year = static_cast<int>(y);
    month = static_cast<int>(m - 1);
    return true;
}

std::optional<SeriesData> read_cru_ts(const std::string& dir, int first_year, std::string& error) {
    if (first_year < kFirstYear || first_year > kLastYear - 9) {
        error = "the ten years from " + std::to_string(first_year) + " are not within the years " +
                kYearRange;
        return std::nullopt;
    }
    std::vector<fs::path> paths;
    bool packed = false;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::string name = it->path().filename().string();
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".nc") == 0)
            paths.push_back(it->path());
        else if (name.size() > 6 && name.compare(name.size() - 6, 6, ".nc.gz") == 0)
            packed = true;
    }
    if (ec) {
        error = dir + ": cannot read the folder (" + ec.message() + ")";
        return std::nullopt;
    }
    if (paths.empty()) {
        error = dir + ": no netCDF files (*.nc)" +
                std::string(packed ? "; unpack the .nc.gz files first (gunzip *.nc.gz)" : "");
        return std::nullopt;
    }
    std::sort(paths.begin(), paths.end());

    std::vector<SeriesFile> files(paths.size());
    // Where each month of each variable is: file and time step.
    std::array<std::map<int, std::pair<std::size_t, std::size_t>>, kVariables> where;
    for (std::size_t f = 0; f < paths.size(); ++f) {
        if (!open_series_file(paths[f], files[f], error))
            return std::nullopt;
        for (int v = 0; v < kVariables; ++v) {
            if (files[f].var[static_cast<std::size_t>(v)] < 0)
                continue;
            const char* name = series_variable_name(static_cast<Variable>(v));
            for (std::size_t t = 0; t < files[f].time_keys.size(); ++t) {
                const int key = files[f].time_keys[t];
                const auto [at, fresh] = where[static_cast<std::size_t>(v)].try_emplace(key, f, t);
                if (!fresh) {
                    const std::string& other = files[at->second.first].path;
                    error = dir + ": " + name + " for " + month_text(key) + " is in " +
                            (other == files[f].path ? file_name(other) + " twice"
                                                    : "both " + file_name(other) + " and " +
                                                          file_name(files[f].path)) +
                            "; keep one set of files in the folder";
                    return std::nullopt;
                }
            }
        }
    }

    SeriesData out;
    out.first_year = first_year;
    const int first_key = first_year * 12;
    std::set<std::size_t> used;
    for (int v = 0; v < kVariables; ++v) {
        const Variable var = static_cast<Variable>(v);
        const auto& months = where[static_cast<std::size_t>(v)];
        if (months.empty()) {
            error = dir + ": no file holds the variable " + series_variable_name(var) + " (" +
                    variable_name(var) + "), e.g. cru_ts4.07.1991.2000." +
                    series_variable_name(var) + ".dat.nc";
            return std::nullopt;
        }
        for (int k = 0; k < kSeriesMonths; ++k)
            if (months.count(first_key + k) == 0) {
                error = dir + ": no file holds " + series_variable_name(var) + " for " +
                        month_text(first_key + k) + " (the files hold " +
                        series_variable_name(var) + " from " + month_text(months.begin()->first) +
                        " to " + month_text(months.rbegin()->first) + ")";
                return std::nullopt;
            }
    }
    for (int v = 0; v < kVariables; ++v) {
        MonthlyGrid grid(kGridColumns, kGridRows, kSeriesMonths);
        for (int k = 0; k < kSeriesMonths; ++k) {
            const auto [f, step] = where[static_cast<std::size_t>(v)].at(first_key + k);
            if (!read_step(files[f], v, step, k, grid, error))
                return std::nullopt;
            used.insert(f);
        }
        out.grids.push_back(std::move(grid));
    }

    const std::regex version_pattern(R"(cru_ts(\d+\.\d+)\.)");
    std::set<std::string> versions;
    for (std::size_t f : used) {
        out.files.push_back(files[f].path);
        std::smatch match;
        const std::string name = file_name(files[f].path);
        if (std::regex_search(name, match, version_pattern))
            versions.insert(match[1].str());
    }
    for (const std::string& v : versions)
        out.version += (out.version.empty() ? "" : "/") + v;
    return out;
}

} // namespace skyfetch::databuild
