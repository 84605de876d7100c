#include "DataBuilder.h"

#include "ClimateArchiveWriter.h"
#include "ColourMap.h"
#include "CruReader.h"
#include "CruTsReader.h"
#include "GldasReader.h"
#include "GlobeBlock.h"
#include "ZoblerGrid.h"

#include <algorithm>
#include <stdexcept>

namespace skyfetch::databuild {

namespace {

// The four climate grids: twelve months of the climatology, or 120 months of CRU TS.
bool read_climate(const SourceFiles& sources, std::vector<MonthlyGrid>& grids,
                  BuiltBlocks& out, std::string& error) {
    if (!sources.cru_ts_dir.empty()) {
        auto series = read_cru_ts(sources.cru_ts_dir, sources.first_year, error);
        if (!series)
            return false;
        grids = std::move(series->grids);
        out.report.first_year = series->first_year;
        out.report.files = series->files;
        out.source_text = describe_climate_source(series->version, series->first_year);
        return true;
    }
    // Same order as the Variable enumeration.
    static const char* const kCruFiles[kVariables] = {"ctmp6190.dat", "cpre6190.dat",
                                                      "ccld6190.dat", "cwet6190.dat"};
    for (const char* name : kCruFiles) {
        auto grid = read_cru_file(sources.cru_dir + "/" + name, error);
        if (!grid)
            return false;
        grids.push_back(std::move(*grid));
    }
    out.source_text = describe_climate_source({}, 0);
    return true;
}

} // namespace

std::string describe_climate_source(const std::string& ts_version, int first_year) {
    if (first_year == 0)
        return "CRU CL 1.0, the 1961-1990 mean year (the same year ten times)";
    return "CRU TS" + (ts_version.empty() ? std::string() : " " + ts_version) + ", " +
           std::to_string(first_year) + "-" + std::to_string(first_year + 9);
}

std::optional<BuiltBlocks> build_blocks(const SourceFiles& sources, std::string& error) {
    BuiltBlocks out;
    std::vector<MonthlyGrid> grids;
    grids.reserve(kVariables);
    if (!read_climate(sources, grids, out, error))
        return std::nullopt;
    auto texture_grid = read_gldas_texture(sources.gldas_file, error);
    if (!texture_grid)
        return std::nullopt;
    auto units = ZoblerGrid::read_file(sources.zobler_file, error);
    if (!units)
        return std::nullopt;
    auto image = read_jpeg(sources.earth_image, error);
    if (!image)
        return std::nullopt;
    if (image->width < kMapColumns || image->height < kMapRows) {
        error = sources.earth_image + ": smaller than 720 x 360 pixels";
        return std::nullopt;
    }

    BuildReport& report = out.report;
    // A climatology month is filled or the cell is dropped; of ten years, a variable may
    // lack up to twelve months, filled one by one from the neighbours.
    const bool series = grids[0].months() == kSeriesMonths;
    const int max_missing = series ? 12 : MonthlyGrid::kMonths - 1;
    const SourceUnits source_units =
        series ? SourceUnits::SeriesUnits : SourceUnits::ClimatologyTenths;
    std::vector<ArchiveCell> cells;
    const auto convert = [&](const SourceCell& c) {
        cells.push_back(convert_cell(c, source_units, report.clamped));
    };
    const CellCollection collection =
        collect_cells({&grids[0], &grids[1], &grids[2], &grids[3]}, max_missing, convert);
    grids.clear();
    report.fills = collection.fills;
    report.omitted = collection.omitted;
    if (cells.empty()) {
        error = "the climate files hold no complete cell";
        return std::nullopt;
    }
    assign_soil_codes(cells, TextureCodeMap(*texture_grid), *units, report.soil);
    if (report.soil.without != 0) {
        error = "the soil texture file has no data at all";
        return std::nullopt;
    }

    report.cells = cells.size();
    const auto [lo, hi] = std::minmax_element(
        cells.begin(), cells.end(),
        [](const ArchiveCell& a, const ArchiveCell& b) { return a.lat_index < b.lat_index; });
    report.min_lat_index = lo->lat_index;
    report.max_lat_index = hi->lat_index;
    report.image_width = image->width;
    report.image_height = image->height;

    std::vector<std::pair<int, int>> land;
    land.reserve(cells.size());
    for (const ArchiveCell& c : cells)
        land.emplace_back(c.lon_index, c.lat_index);
    try {
        out.climate_archive = build_climate_archive(cells);
        out.globe_data = build_globe_block(average_to_bgr_map(*image, kMapColumns, kMapRows), land);
    } catch (const std::exception& e) {
        error = e.what();
        return std::nullopt;
    }
    return out;
}

} // namespace skyfetch::databuild
