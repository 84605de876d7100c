// Unit conversions, rounding and clamping of the climate values, and the neighbour fill of
// a missing month.
#include "CellConversion.h"
#include "ClimateCells.h"
#include "ClimateConversion.h"

#include <gtest/gtest.h>

namespace skyfetch::databuild {
namespace {

TEST(DaysInMonth, MeanYearWithoutLeapDay) {
    int total = 0;
    for (int m = 0; m < 12; ++m)
        total += days_in_month(m);
    EXPECT_EQ(total, 365);
    EXPECT_EQ(days_in_month(1), 28);
    EXPECT_EQ(days_in_month(7), 31);
    EXPECT_EQ(days_in_month(10), 30);
}

struct Case {
    double source;
    int month;
    int raw;
    bool clamped;
};

TEST(ConvertTemperature, OffsetAndLimits) {
    const Case cases[] = {
        {-9, 0, 491, false},                         // -0.9 degC
        {0, 0, 500, false},    {370, 0, 870, false}, // warmest source value
        {-500, 0, 0, false},                         // exactly -50.0 degC fits
        {-501, 0, 0, true},    {-521, 0, 0, true},   // coldest source value
        {500, 0, 1000, false}, {501, 0, 1000, true},
        {-9.5, 0, 490, false}, // a filled fraction rounds away from zero
    };
    for (const Case& c : cases) {
        const RawValue v = convert_temperature(c.source);
        EXPECT_EQ(v.raw, c.raw) << c.source;
        EXPECT_EQ(v.clamped, c.clamped) << c.source;
    }
}

TEST(ConvertPrecipitation, MonthlyTotalRoundedHalfUp) {
    const Case cases[] = {
        {17, 0, 53, false},                          // 1.7 mm/day x 31 = 52.7
        {12, 1, 34, false},                          // x 28 = 33.6
        {5, 0, 16, false},                           // 15.5 exactly: halves go up
        {15, 0, 47, false},                          // 46.5
        {25, 2, 78, false},                          // 77.5
        {4, 0, 12, false},                           // 12.4
        {0, 5, 0, false},       {0.25, 7, 1, false}, // the filled August value: 0.775
        {401, 0, 1243, false},                       // wettest source value
        {3300, 0, 9999, true},                       // 10,230 mm does not fit
        {3225, 0, 9998, false},                      // 9997.5 -> 9998
        {-1, 0, 0, true},
    };
    for (const Case& c : cases) {
        const RawValue v = convert_precipitation(c.source, c.month);
        EXPECT_EQ(v.raw, c.raw) << c.source << " in month " << c.month;
        EXPECT_EQ(v.clamped, c.clamped) << c.source << " in month " << c.month;
    }
}

TEST(ConvertSunshine, ComplementOfCloudCover) {
    const Case cases[] = {
        {1, 0, 99, false},  {98, 0, 2, false},    {0, 0, 100, false},
        {100, 0, 0, false}, {37.5, 0, 63, false}, // 62.5 rounds up
        {101, 0, 0, true},  {-3, 0, 100, true},
    };
    for (const Case& c : cases) {
        const RawValue v = convert_sunshine(c.source);
        EXPECT_EQ(v.raw, c.raw) << c.source;
        EXPECT_EQ(v.clamped, c.clamped) << c.source;
    }
}

TEST(ConvertWetDays, WholeDaysWithinTheMonth) {
    const Case cases[] = {
        {4, 0, 0, false},    {5, 0, 1, false},    // 0.5 rounds up
        {309, 0, 31, false}, {305, 0, 31, false}, // 30.5 -> 31 fits January
        {305, 3, 30, true},                       // but not April
        {285, 1, 28, true},                       // 28.5 -> 29 > 28 days of February
        {284, 1, 28, false}, {275, 1, 28, false}, {-5, 0, 0, true}, // -0.5 rounds to -1
    };
    for (const Case& c : cases) {
        const RawValue v = convert_wet_days(c.source, c.month);
        EXPECT_EQ(v.raw, c.raw) << c.source << " in month " << c.month;
        EXPECT_EQ(v.clamped, c.clamped) << c.source << " in month " << c.month;
    }
}

// The time series store plain units; each field rounds its own value first.
TEST(ConvertSeries, PlainUnitsRoundedThenLimited) {
    const struct {
        RawValue (*convert)(double, int);
        double source;
        int month;
        int raw;
        bool clamped;
    } cases[] = {
        {[](double v, int) { return convert_series_temperature(v); }, 12.3, 0, 623, false},
        {[](double v, int) { return convert_series_temperature(v); }, -0.05, 0, 499, false},
        {[](double v, int) { return convert_series_temperature(v); }, -50.04, 0, 0, false},
        {[](double v, int) { return convert_series_temperature(v); }, -50.06, 0, 0, true},
        {[](double v, int) { return convert_series_temperature(v); }, 50.06, 0, 1000, true},
        {[](double v, int) { return convert_series_precipitation(v); }, 77.5, 0, 78, false},
        {[](double v, int) { return convert_series_precipitation(v); }, 9999.4, 0, 9999, false},
        {[](double v, int) { return convert_series_precipitation(v); }, 9999.5, 0, 9999, true},
        {[](double v, int) { return convert_series_precipitation(v); }, -0.4, 0, 0, false},
        // 100 - round(cloud), not round(100 - cloud): 30.5 gives 69, not 70.
        {[](double v, int) { return convert_series_sunshine(v); }, 30.5, 0, 69, false},
        {[](double v, int) { return convert_series_sunshine(v); }, 100.4, 0, 0, false},
        {[](double v, int) { return convert_series_sunshine(v); }, -0.6, 0, 100, true},
        {convert_series_wet_days, 10.5, 0, 11, false},
        {convert_series_wet_days, 28.4, 1, 28, false},
        {convert_series_wet_days, 28.5, 1, 28, true}, // a leap February's 29 does not fit
        {convert_series_wet_days, 30.6, 3, 30, true},
        {convert_series_wet_days, -0.6, 0, 0, true},
    };
    for (const auto& c : cases) {
        const RawValue v = c.convert(c.source, c.month);
        EXPECT_EQ(v.raw, c.raw) << c.source << " in month " << c.month;
        EXPECT_EQ(v.clamped, c.clamped) << c.source << " in month " << c.month;
    }
}

TEST(ConvertCell, TenYearsOfASeriesKeepTheirOwnValues) {
    SourceCell cell;
    cell.months = 120;
    for (int k = 0; k < 120; ++k) {
        cell.values[0][k] = -60.0 + 0.5 * k; // the first twenty months below -50 degC
        cell.values[1][k] = 1000.0 * k;     // from month 10 on above 9999 mm
        cell.values[2][k] = 50.0;
        cell.values[3][k] = k % 12 == 1 ? 29.0 : 3.0;
    }
    ClampCounts clamped;
    const ArchiveCell out = convert_cell(cell, SourceUnits::SeriesUnits, clamped);
    EXPECT_EQ(out.mtemp[0], 0);
    EXPECT_EQ(out.mtemp[119], 495);
    EXPECT_EQ(out.mprec[9], 9000);
    EXPECT_EQ(out.mprec[10], 9999);
    EXPECT_EQ(out.mwet[13], 28);
    EXPECT_EQ(out.mwet[14], 3);
    EXPECT_EQ(clamped.low[0], 20);
    EXPECT_EQ(clamped.high[1], 110);
    EXPECT_EQ(clamped.high[3], 10); // every February
}

TEST(ConvertCell, CountsClampedValuesPerVariableAndDirection) {
    SourceCell cell;
    cell.lon_index = 386;
    cell.lat_index = 291;
    for (int m = 0; m < 12; ++m) {
        cell.values[0][m] = m < 3 ? -600 : 100; // three months below -50 degC
        cell.values[1][m] = 10;
        cell.values[2][m] = 50;
        cell.values[3][m] = m == 1 ? 290 : 100; // 29 wet days in February
    }
    ClampCounts clamped;
    const ArchiveCell out = convert_cell(cell, SourceUnits::ClimatologyTenths, clamped);
    EXPECT_EQ(out.lon_index, 386);
    EXPECT_EQ(out.lat_index, 291);
    EXPECT_EQ(out.mtemp[0], 0);
    EXPECT_EQ(out.mtemp[3], 600);
    EXPECT_EQ(out.mprec[1], 28);
    EXPECT_EQ(out.mprec[0], 31);
    EXPECT_EQ(out.msun[6], 50);
    EXPECT_EQ(out.mwet[1], 28);
    EXPECT_EQ(out.mwet[2], 10);
    EXPECT_EQ(clamped.low[0], 3);
    EXPECT_EQ(clamped.high[0], 0);
    EXPECT_EQ(clamped.high[3], 1);
    EXPECT_EQ(clamped.low[1] + clamped.high[1] + clamped.low[2] + clamped.high[2], 0);
}

TEST(CellIndices, SourcePositionToSouthWestCorner) {
    // Column 0 is 0.0..0.5 E; column 360 starts at 180, i.e. -180.
    EXPECT_EQ(lon_index_of_source_column(0), 360);
    EXPECT_EQ(lon_index_of_source_column(26), 386); // 13.0 E
    EXPECT_EQ(lon_index_of_source_column(359), 719);
    EXPECT_EQ(lon_index_of_source_column(360), 0);
    EXPECT_EQ(lon_index_of_source_column(719), 359);
    // Row 0 is the northernmost line, 89.5..90 N.
    EXPECT_EQ(lat_index_of_source_row(0), 359);
    EXPECT_EQ(lat_index_of_source_row(68), 291); // 55.5 N
    EXPECT_EQ(lat_index_of_source_row(359), 0);
    EXPECT_EQ(cell_key(386, 291), 386 * 512 + 291);
    // Longitude in the high bits: every cell of one column sorts before the next column.
    EXPECT_LT(cell_key(5, 359), cell_key(6, 0));
    EXPECT_LT(cell_key(719, 359), 1 << 19);
}

// A grid where every cell of every month holds `value`.
MonthlyGrid filled_grid(int columns, int rows, int value) {
    MonthlyGrid g(columns, rows);
    for (int m = 0; m < 12; ++m)
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                g.set(m, r, c, value);
    return g;
}

TEST(NeighbourMean, MeanOfTheNeighboursThatHaveTheMonth) {
    MonthlyGrid g(5, 4);
    // Around (row 1, column 2): four neighbours with data in August, one only in July.
    g.set(7, 0, 1, 0);
    g.set(7, 0, 2, 1);
    g.set(7, 1, 3, 1);
    g.set(7, 2, 2, 0);
    g.set(6, 2, 1, 50);
    g.set(7, 1, 2, 999); // the cell itself never counts
    g.set(7, 3, 2, 77);  // two rows away: not a neighbour
    int used = -1;
    const auto mean = neighbour_mean(g, 7, 1, 2, &used);
    ASSERT_TRUE(mean.has_value());
    EXPECT_DOUBLE_EQ(*mean, 0.5); // the fraction is kept
    EXPECT_EQ(used, 4);
    EXPECT_DOUBLE_EQ(*neighbour_mean(g, 6, 1, 2), 50.0);
}

TEST(NeighbourMean, LongitudeWrapsAroundTheGrid) {
    // The source grid runs 0.25 E .. 359.75 E: the meridian of 180 lies between columns 359
    // and 360, the prime meridian between 719 and 0; neighbours are found across both.
    MonthlyGrid g(720, 360);
    g.set(0, 100, 360, 40); // 180.25 E = 179.75 W
    EXPECT_DOUBLE_EQ(*neighbour_mean(g, 0, 100, 359), 40.0);
    g.set(0, 200, 719, 30); // 359.75 E
    g.set(0, 201, 2, 10);   // two columns away: no neighbour
    int used = 0;
    EXPECT_DOUBLE_EQ(*neighbour_mean(g, 0, 200, 0, &used), 30.0);
    EXPECT_EQ(used, 1);
    g.set(0, 199, 1, 12);
    EXPECT_DOUBLE_EQ(*neighbour_mean(g, 0, 200, 0, &used), 21.0);
    EXPECT_EQ(used, 2);
}

TEST(NeighbourMean, EdgesAndNarrowGrids) {
    // Rows do not wrap: the top row has only five neighbours.
    MonthlyGrid g = filled_grid(6, 3, 4);
    g.set(0, 2, 0, 1000); // bottom row, two rows away from row 0
    int used = 0;
    EXPECT_DOUBLE_EQ(*neighbour_mean(g, 0, 0, 0, &used), 4.0);
    EXPECT_EQ(used, 5);
    // On a grid two columns wide the east and west neighbour are the same cell: once only.
    MonthlyGrid narrow = filled_grid(2, 3, 6);
    narrow.set(0, 1, 1, 0);
    EXPECT_DOUBLE_EQ(*neighbour_mean(narrow, 0, 1, 0, &used), 4.8); // (6*4 + 0) / 5
    EXPECT_EQ(used, 5);
}

TEST(NeighbourMean, NoNeighbourValue) {
    MonthlyGrid g(4, 4);
    g.set(3, 1, 1, 5);
    int used = 7;
    EXPECT_FALSE(neighbour_mean(g, 4, 1, 1, &used).has_value());
    EXPECT_EQ(used, 0);
    EXPECT_FALSE(neighbour_mean(g, 3, 3, 3).has_value());
}

// collect_cells with the climatology's rule (a variable may lack up to 11 of its months),
// keeping the cells it hands on.
struct Collected : CellCollection {
    std::vector<SourceCell> kept;
};
Collected collect(const std::array<const MonthlyGrid*, kVariables>& grids, int max_missing = 11) {
    Collected out;
    static_cast<CellCollection&>(out) =
        collect_cells(grids, max_missing, [&](const SourceCell& c) { out.kept.push_back(c); });
    return out;
}

struct Grids {
    MonthlyGrid t{6, 4}, p{6, 4}, c{6, 4}, w{6, 4};
    std::array<const MonthlyGrid*, kVariables> all() const { return {&t, &p, &c, &w}; }
    void land(int row, int col, int base) {
        for (int m = 0; m < 12; ++m) {
            t.set(m, row, col, base + m);
            p.set(m, row, col, 10 * m);
            c.set(m, row, col, 50);
            w.set(m, row, col, 100);
        }
    }
};

TEST(CollectCells, LineOrderFillsAndLeftOutCells) {
    Grids g;
    g.land(0, 4, 100);
    g.land(1, 1, 200);
    g.land(1, 2, 300);
    g.land(2, 1, 400);
    g.p.set(7, 1, 2, NAN); // filled from (1,1) and (2,1)
    g.land(3, 5, 500);
    g.w.set(2, 3, 5, NAN); // no neighbour: left out
    g.t.set(0, 0, 0, -10);                   // only temperature: incomplete, left out

    const Collected out = collect(g.all());
    ASSERT_EQ(out.kept.size(), 4u);
    const int expected[4][2] = {{0, 4}, {1, 1}, {1, 2}, {2, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out.kept[i].source_row, expected[i][0]);
        EXPECT_EQ(out.kept[i].source_column, expected[i][1]);
        EXPECT_EQ(out.kept[i].lat_index, 359 - expected[i][0]);
    }
    EXPECT_DOUBLE_EQ(out.kept[2].values[0][3], 303);
    EXPECT_DOUBLE_EQ(out.kept[2].values[1][7], 70); // (70 + 70) / 2

    ASSERT_EQ(out.fills.size(), 1u);
    EXPECT_EQ(out.fills[0].variable, Variable::Precipitation);
    EXPECT_EQ(out.fills[0].month, 7);
    EXPECT_EQ(out.fills[0].neighbours, 2);
    EXPECT_EQ(out.fills[0].source_row, 1);
    EXPECT_EQ(out.fills[0].source_column, 2);

    ASSERT_EQ(out.omitted.size(), 2u);
    EXPECT_EQ(out.omitted[0].source_row, 0);
    EXPECT_EQ(out.omitted[0].source_column, 0);
    EXPECT_EQ(out.omitted[0].variable, Variable::Precipitation);
    EXPECT_EQ(out.omitted[0].month, -1);
    EXPECT_EQ(out.omitted[1].source_row, 3);
    EXPECT_EQ(out.omitted[1].variable, Variable::WetDays);
    EXPECT_EQ(out.omitted[1].month, 2);
}

TEST(CollectCells, FillUsesSourceValuesOnly) {
    // Two neighbouring cells miss the same month. The second is filled from source values
    // only, not from the value just filled into the first.
    Grids g;
    g.land(1, 1, 0);
    g.land(1, 2, 0);
    g.land(2, 0, 0);
    g.land(2, 2, 0);
    g.c.set(4, 1, 1, NAN);
    g.c.set(4, 1, 2, NAN);
    g.c.set(4, 2, 0, 20);
    g.c.set(4, 2, 2, 80);
    const Collected out = collect(g.all());
    ASSERT_EQ(out.kept.size(), 4u);
    ASSERT_EQ(out.fills.size(), 2u);
    EXPECT_DOUBLE_EQ(out.kept[0].values[2][4], 50); // (20 + 80) / 2
    EXPECT_EQ(out.fills[0].neighbours, 2);
    EXPECT_DOUBLE_EQ(out.kept[1].values[2][4], 80); // not (50 + 80) / 2
    EXPECT_EQ(out.fills[1].neighbours, 1);
}

} // namespace
} // namespace skyfetch::databuild
