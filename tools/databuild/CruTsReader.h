#pragma once

#include "ClimateCells.h"
#include "MonthlyGrid.h"

#include <optional>
#include <string>
#include <vector>

namespace skyfetch::databuild {

// Ten calendar years of the four CRU TS variables, laid out like the climatology grids
// (720 x 360 cells, row 0 northernmost, column 0 at 0.25 E) with 120 months each.
struct SeriesData {
    std::vector<MonthlyGrid> grids; // in Variable order: tmp, pre, cld, wet
    int first_year = 0;
    std::string version;            // "4.07" from the file names, or empty
    std::vector<std::string> files; // the files the years were read from, sorted
};

// The years of the proleptic Gregorian calendar the reader works in.
inline constexpr int kFirstYear = 1;
inline constexpr int kLastYear = 9999;

// The CRU TS name of a variable: "tmp", "pre", "cld", "wet".
const char* series_variable_name(Variable v);

// Reads the ten years first_year .. first_year + 9 from the netCDF files (*.nc) in `dir`.
// Every file may hold any of the variables over (time, lat, lon), with time in days since
// a date of the Gregorian calendar, on cells of the half-degree grid; a variable's years may
// be spread over several files (CRU TS comes in decades). Missing values are those equal to
// the variable's _FillValue or to any value of its missing_value. Refused with a message in
// `error`: ten years not within kFirstYear..kLastYear, no usable file, a variable or a month
// of the ten years that no file holds, a month held twice, and any file that is not laid
// out this way or whose times fall outside those years.
std::optional<SeriesData> read_cru_ts(const std::string& dir, int first_year, std::string& error);

// Calendar year and month (0 = January) of a time value in days since the given date.
// The day count is truncated to whole days. False, leaving year and month alone, when the
// date or the result lies outside the years kFirstYear..kLastYear, or `days` is not finite
// or is ten million or more either way.
bool civil_month_of(double days, int epoch_year, int epoch_month, int epoch_day, int& year,
                    int& month);

} // namespace skyfetch::databuild
