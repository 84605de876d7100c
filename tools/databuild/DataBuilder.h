#pragma once

#include "CellConversion.h"
#include "ClimateCells.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skyfetch::databuild {

struct SourceFiles {
    std::string cru_dir;     // ctmp6190.dat, cpre6190.dat, ccld6190.dat, cwet6190.dat
    std::string cru_ts_dir;  // CRU TS netCDF files; when set, used instead of cru_dir
    int first_year = 0;      // the first of the ten CRU TS years
    std::string gldas_file;  // GLDAS soil fractions, netCDF-4
    std::string zobler_file; // Post & Zobler soil units, ESRI ASCII grid
    std::string earth_image; // equirectangular Earth, JPEG
};

struct BuildReport {
    int first_year = 0;             // 0: the climatology
    std::vector<std::string> files; // the CRU TS files read
    std::size_t cells = 0;
    int min_lat_index = 0;
    int max_lat_index = 0;
    std::vector<MonthFill> fills;
    std::vector<OmittedCell> omitted;
    ClampCounts clamped;
    SoilCounts soil;
    int image_width = 0;
    int image_height = 0;
};

struct BuiltBlocks {
    std::vector<std::uint8_t> climate_archive;
    std::vector<std::uint8_t> globe_data;
    std::string source_text; // one line naming the climate data and its years
    BuildReport report;
};

// The climate source in one line, as the program shows it.
std::string describe_climate_source(const std::string& ts_version, int first_year);

// Reads every source and builds both blocks in memory. On a source that cannot be read or
// does not have the expected shape: nullopt and a message in `error`.
std::optional<BuiltBlocks> build_blocks(const SourceFiles& sources, std::string& error);

} // namespace skyfetch::databuild
