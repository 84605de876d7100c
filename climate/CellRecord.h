#pragma once

namespace skyfetch {

// Monthly values per cell: ten data years of twelve months, year-major,
// January first (element 12 * year + month).
inline constexpr int kDataYears = 10;
inline constexpr int kMonthsPerRecord = 12 * kDataYears;

// The decoded climate of one 0.5-degree cell. lon and lat are the cell's south-west
// corner and are the lookup's input; the other fields are written only when the
// cell is found.
struct CellRecord {
    double lon = 0.0;
    double lat = 0.0;
    double soilcode = 0.0;
    double mtemp[kMonthsPerRecord] = {}; // degrees Celsius, one decimal
    double mprec[kMonthsPerRecord] = {}; // millimetres per month
    double msun[kMonthsPerRecord] = {};  // percent of clear-sky sunshine
    double mwet[kMonthsPerRecord] = {};  // rain days per month
};

} // namespace skyfetch
