#pragma once

#include "climate/CellRecord.h"
#include "climate/Spinup.h"
#include "driver/OutputSink.h"
#include "driver/SafeFileWriter.h"
#include "driver/WriteResult.h"
#include "resources/Version.h"

#include <functional>
#include <string>

namespace skyfetch {

inline constexpr double BASE_CO2 = 330.0; // ppm
inline constexpr int DAYS_IN_MONTH[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// There is no rain-day parameter in this version: rain days never change.
inline constexpr double kRainDayChange = 0.0;

// Everything the driver file needs besides the cell's record and the two spin-up sets.
struct DriverFileParameters {
    double cornerLon = 0.0; // the cell's south-west corner
    double cornerLat = 0.0;
    int initYears = 0;         // initialisation (spin-up) rows
    int scenarioYears = 0;     // scenario rows
    double tempChange = 0.0;   // degrees Celsius reached at the end of the scenario
    double precipChange = 0.0; // percent, signed
    double co2Change = 0.0;    // percent, signed
    std::string versionText = VersionText();
    // The creation date in ctime form; empty means the current local time.
    std::string dateText;
};

// Rows written so far and rows in the file, after every row.
using DriverProgress = std::function<void(int done, int total)>;

// Writes the driver file: nine header lines, then one tab-delimited row of 51 fields per
// year, first the initialisation rows from `initialisation`, then the scenario rows from
// `scenario`, each set advanced once per row of its phase. Both sets must have been
// filled from `record` and must stand at data year 0 (reset them before each file).
// Returns false as soon as the sink refuses bytes.
bool write_driver_file(OutputSink& out, const DriverFileParameters& parameters,
                       const CellRecord& record, SpinupSet& initialisation, SpinupSet& scenario,
                       const DriverProgress& progress = {});

// The same into the file at `path`, which appears complete or not at all (SafeFileWriter).
WriteResult write_driver_file(const std::string& path, ExistingFile existing,
                              const DriverFileParameters& parameters, const CellRecord& record,
                              SpinupSet& initialisation, SpinupSet& scenario,
                              const DriverProgress& progress = {});

} // namespace skyfetch
