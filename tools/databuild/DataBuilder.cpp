#include "DataBuilder.h"

#include "ClimateArchiveWriter.h"
#include "ColourMap.h"
#include "CruReader.h"
#include "GldasReader.h"
#include "GlobeBlock.h"
#include "ZoblerGrid.h"

#include <algorithm>
#include <stdexcept>

namespace skyfetch::databuild {

std::optional<BuiltBlocks> build_blocks(const SourceFiles& sources, std::string& error) {
    // Same order as the Variable enumeration.
    static const char* const kCruFiles[kVariables] = {"ctmp6190.dat", "cpre6190.dat",
                                                      "ccld6190.dat", "cwet6190.dat"};
    std::vector<MonthlyGrid> grids;
    grids.reserve(kVariables);
    for (const char* name : kCruFiles) {
        auto grid = read_cru_file(sources.cru_dir + "/" + name, error);
        if (!grid)
            return std::nullopt;
        grids.push_back(std::move(*grid));
    }
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

    BuiltBlocks out;
    BuildReport& report = out.report;
    CellCollection collection = collect_cells({&grids[0], &grids[1], &grids[2], &grids[3]});
    grids.clear();
    report.fills = collection.fills;
    report.omitted = collection.omitted;
    if (collection.cells.empty()) {
        error = "the climate files hold no complete cell";
        return std::nullopt;
    }

    std::vector<ArchiveCell> cells;
    cells.reserve(collection.cells.size());
    for (const SourceCell& c : collection.cells)
        cells.push_back(convert_cell(c, report.clamped));
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
