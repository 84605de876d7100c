// Soil code rules: texture classes, the set code of a half-degree cell, the nearest-cell
// fallback and the organic override.
#include "CellConversion.h"
#include "SoilTexture.h"
#include "ZoblerGrid.h"

#include <gtest/gtest.h>

#include <string>

namespace skyfetch::databuild {
namespace {

TEST(TextureClass, FaoThresholds) {
    struct Row {
        double sand, clay;
        int expected;
    };
    const Row rows[] = {
        {0.30, 0.36, kFine},
        {0.90, 0.40, kFine},   // clay decides first
        {0.30, 0.35, kMedium}, // not more than 0.35
        {0.66, 0.17, kCoarse},
        {0.95, 0.01, kCoarse},
        {0.65, 0.17, kMedium}, // sand must exceed 0.65
        {0.66, 0.18, kMedium}, // clay must stay below 0.18
        {0.40, 0.22, kMedium},
        // Fractions as the file stores them (single precision) behave like the decimal.
        {0.65f, 0.17f, kMedium},
        {0.66f, 0.18f, kMedium},
        {0.30f, 0.35f, kMedium},
        {0.66f, 0.17f, kCoarse},
        {0.30f, 0.36f, kFine},
    };
    for (const Row& r : rows)
        EXPECT_EQ(texture_class(r.sand, r.clay), r.expected) << r.sand << " " << r.clay;
}

TEST(TextureSetCode, EverySubsetOfClasses) {
    const auto bits = [](std::initializer_list<int> classes) {
        unsigned b = 0;
        for (int c : classes)
            b |= 1u << (c - 1);
        return b;
    };
    EXPECT_EQ(texture_set_code(0), 0);
    EXPECT_EQ(texture_set_code(bits({1})), 1);
    EXPECT_EQ(texture_set_code(bits({2})), 2);
    EXPECT_EQ(texture_set_code(bits({3})), 3);
    EXPECT_EQ(texture_set_code(bits({1, 2})), 4);
    EXPECT_EQ(texture_set_code(bits({1, 3})), 5);
    EXPECT_EQ(texture_set_code(bits({2, 3})), 6);
    EXPECT_EQ(texture_set_code(bits({1, 2, 3})), 7);
}

TEST(Histosol, OnlyUnits61To63) {
    EXPECT_FALSE(is_histosol(60));
    EXPECT_TRUE(is_histosol(61));
    EXPECT_TRUE(is_histosol(62));
    EXPECT_TRUE(is_histosol(63));
    EXPECT_FALSE(is_histosol(64));
    EXPECT_FALSE(is_histosol(107));
}

// An empty quarter-degree texture grid laid out like the GLDAS file: centres from
// 179.875 W and 59.875 S.
TextureGrid empty_quarter_grid() {
    TextureGrid g;
    g.columns = 1440;
    g.rows = 600;
    g.lon0 = -179.875;
    g.lat0 = -59.875;
    g.step = 0.25;
    g.sand.assign(static_cast<std::size_t>(g.columns) * g.rows, -1.0f);
    g.clay = g.sand;
    return g;
}

void set_sub_cell(TextureGrid& g, int column, int row, float sand, float clay) {
    g.sand[static_cast<std::size_t>(row) * g.columns + column] = sand;
    g.clay[static_cast<std::size_t>(row) * g.columns + column] = clay;
}

TEST(TextureCodeMap, FourSubCellsPerHalfDegreeCell) {
    TextureGrid g = empty_quarter_grid();
    // The half-degree cell with corner 13.0 E 55.5 N (lon index 386, lat index 291) holds
    // the quarter cells with centres 13.125/13.375 E and 55.625/55.875 N.
    const int col = 2 * 386, row = 2 * 291 - 120;
    set_sub_cell(g, col, row, 0.80f, 0.05f);         // coarse
    set_sub_cell(g, col + 1, row + 1, 0.20f, 0.50f); // fine
    // Corner cell of the grid: lon index 0, lat index 60 (60 S).
    set_sub_cell(g, 0, 0, 0.40f, 0.20f);
    // Eastmost quarter column, northmost row.
    set_sub_cell(g, 1439, 599, 0.30f, 0.40f);
    const TextureCodeMap map(g);
    EXPECT_EQ(map.code(386, 291), 5);
    EXPECT_EQ(map.code(385, 291), 0);
    EXPECT_EQ(map.code(386, 290), 0);
    EXPECT_EQ(map.code(0, 60), 2);
    EXPECT_EQ(map.code(719, 359), 3);
    EXPECT_EQ(map.code(0, 59), 0); // south of the grid
    int cells_with_code = 0;
    for (int lon = 0; lon < 720; ++lon)
        for (int lat = 0; lat < 360; ++lat)
            cells_with_code += map.code(lon, lat) != 0;
    EXPECT_EQ(cells_with_code, 3);
}

TEST(TextureCodeMap, NearestByGreatCircle) {
    TextureCodeMap map;
    EXPECT_EQ(map.nearest_code(100, 100), 0); // nothing to take from

    // Near 80 N a cell ten columns away (5 degrees of longitude, about 0.87 degrees of arc)
    // is nearer than one two rows away (1 degree), although farther on the grid.
    map.set_code(410, 340, 3);
    map.set_code(400, 342, 6);
    EXPECT_EQ(map.nearest_code(400, 340), 3);
    // The short way round, across 180, counts.
    TextureCodeMap far;
    far.set_code(700, 200, 1);
    far.set_code(200, 200, 2);
    EXPECT_EQ(far.nearest_code(20, 200), 1); // 40 columns west across 180 vs 180 east
}

TEST(TextureCodeMap, NearestTiesGoToTheLowerKey) {
    TextureCodeMap map;
    // Same latitude, two columns east and west: equally near, the western has the lower key.
    map.set_code(298, 200, 4);
    map.set_code(302, 200, 7);
    EXPECT_EQ(map.nearest_code(300, 200), 4);
    // Longitude wraps at 180: index 719 is next to index 0.
    TextureCodeMap wrap;
    wrap.set_code(719, 150, 2);
    wrap.set_code(3, 150, 1);
    EXPECT_EQ(wrap.nearest_code(0, 150), 2);
    // One column east and one across the date line are equally near: index 1 has the
    // lower key than 719.
    wrap.set_code(1, 150, 5);
    EXPECT_EQ(wrap.nearest_code(0, 150), 5);
    // One row north and one row south in the same column are equally near: the southern
    // cell has the lower key.
    TextureCodeMap rows;
    rows.set_code(50, 181, 6);
    rows.set_code(50, 179, 3);
    EXPECT_EQ(rows.nearest_code(50, 180), 3);
}

// An ESRI ASCII grid of Post & Zobler units: every cell `fill`, with some exceptions.
std::string zobler_text(int fill, const std::vector<std::pair<int, int>>& histosols) {
    std::vector<int> units(720 * 360, fill);
    for (const auto& [lon, lat] : histosols)
        units[static_cast<std::size_t>(359 - lat) * 720 + lon] = 62;
    std::string text = "ncols 720\nnrows 360\nxllcorner -180\nyllcorner -90\ncellsize 0.5\n"
                       "NODATA_value -9999\n";
    for (int r = 0; r < 360; ++r) {
        for (int c = 0; c < 720; ++c) {
            text += std::to_string(units[static_cast<std::size_t>(r) * 720 + c]);
            text += c == 719 ? '\n' : ' ';
        }
    }
    return text;
}

TEST(AssignSoilCodes, TextureThenNearestThenOrganic) {
    TextureCodeMap texture;
    texture.set_code(386, 291, 2);
    texture.set_code(390, 291, 6);
    std::string error;
    const auto units = ZoblerGrid::parse(zobler_text(10, {{390, 291}, {200, 100}}), error);
    ASSERT_TRUE(units.has_value()) << error;

    std::vector<ArchiveCell> cells(4);
    cells[0].lon_index = 386; // own texture
    cells[0].lat_index = 291;
    cells[1].lon_index = 388; // none: the nearer of 386 and 390 is a tie -> 386
    cells[1].lat_index = 291;
    cells[2].lon_index = 390; // own texture, but a Histosol
    cells[2].lat_index = 291;
    cells[3].lon_index = 200; // no texture, Histosol
    cells[3].lat_index = 100;
    SoilCounts counts;
    assign_soil_codes(cells, texture, *units, counts);
    EXPECT_EQ(cells[0].soilcode, 2);
    EXPECT_EQ(cells[1].soilcode, 2);
    EXPECT_EQ(cells[2].soilcode, kOrganicSoilCode);
    EXPECT_EQ(cells[3].soilcode, kOrganicSoilCode);
    EXPECT_EQ(counts.from_texture, 2);
    EXPECT_EQ(counts.from_nearest, 2);
    EXPECT_EQ(counts.organic, 2);
    EXPECT_EQ(counts.without, 0);
    EXPECT_EQ(counts.histogram[2], 2);
    EXPECT_EQ(counts.histogram[8], 2);
    EXPECT_EQ(counts.histogram[6], 0);
}

TEST(ZoblerGrid, RowsFromTheNorthHoweverTheLinesBreak) {
    std::string error;
    const std::string text = zobler_text(5, {{0, 359}, {719, 0}, {12, 34}});
    const auto grid = ZoblerGrid::parse(text, error);
    ASSERT_TRUE(grid.has_value()) << error;
    EXPECT_EQ(grid->unit(0, 359), 62); // first value of the file: north-west corner
    EXPECT_EQ(grid->unit(719, 0), 62); // last value: south-east corner
    EXPECT_EQ(grid->unit(12, 34), 62);
    EXPECT_EQ(grid->unit(13, 34), 5);

    // The same values with every line broken after ten numbers.
    std::string rewrapped;
    const std::size_t header_end = text.find("-9999\n") + 6;
    rewrapped = text.substr(0, header_end);
    int n = 0;
    for (std::size_t i = header_end; i < text.size(); ++i) {
        const char ch = text[i] == '\n' ? ' ' : text[i];
        rewrapped += ch;
        if (ch == ' ' && ++n % 10 == 0)
            rewrapped += '\n';
    }
    const auto again = ZoblerGrid::parse(rewrapped, error);
    ASSERT_TRUE(again.has_value()) << error;
    for (int lon = 0; lon < 720; lon += 7)
        for (int lat = 0; lat < 360; lat += 3)
            ASSERT_EQ(again->unit(lon, lat), grid->unit(lon, lat));
}

TEST(ZoblerGrid, RefusesOtherShapes) {
    std::string error;
    std::string text = zobler_text(5, {});
    EXPECT_FALSE(ZoblerGrid::parse(text.substr(0, text.size() - 4), error).has_value());
    EXPECT_NE(error.find("ends after"), std::string::npos);
    EXPECT_FALSE(ZoblerGrid::parse(text + "7\n", error).has_value());
    std::string shifted = text;
    shifted.replace(shifted.find("xllcorner -180"), 14, "xllcorner    0");
    EXPECT_FALSE(ZoblerGrid::parse(shifted, error).has_value());
    EXPECT_FALSE(ZoblerGrid::parse("ncols 720\n", error).has_value());
}

} // namespace
} // namespace skyfetch::databuild
