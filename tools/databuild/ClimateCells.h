#pragma once

#include "MonthlyGrid.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace skyfetch::databuild {

// The four CRU variables in the order the archive stores them.
enum class Variable { Temperature = 0, Precipitation = 1, Cloud = 2, WetDays = 3 };
inline constexpr int kVariables = 4;
const char* variable_name(Variable v);

// Grid position of a source cell (row 0 = northernmost line, column 0 = 0.25 E) turned into
// the archive's indices of its south-west corner (longitude from -180, latitude from -90, in
// half degrees) and the key the index is sorted by.
int lon_index_of_source_column(int column);
int lat_index_of_source_row(int row);
inline int cell_key(int lon_index, int lat_index) {
    return lon_index * 512 + lat_index;
}

// The archive holds ten years of twelve months per variable.
inline constexpr int kSeriesMonths = 120;

// One land cell with its monthly values per variable in source units: the twelve months of
// a climatology, or 120 months of ten calendar years. A filled month may carry a fraction.
struct SourceCell {
    int source_row = 0;
    int source_column = 0;
    int lon_index = 0;
    int lat_index = 0;
    int months = 12;
    std::array<std::array<double, kSeriesMonths>, kVariables> values{};
};

struct MonthFill {
    int source_row = 0;
    int source_column = 0;
    Variable variable = Variable::Temperature;
    int month = 0;
    double value = 0;
    int neighbours = 0; // how many neighbours contributed
};

struct OmittedCell {
    int source_row = 0;
    int source_column = 0;
    Variable variable = Variable::Temperature;
    int month = -1;  // the month no neighbour could fill; -1: too many months missing
    int missing = 0; // months of the variable without a value
    int months = 12; // months the grid holds
};

struct CellCollection {
    std::size_t cells = 0; // complete cells handed on
    std::vector<MonthFill> fills;
    std::vector<OmittedCell> omitted;
};

using CellSink = std::function<void(const SourceCell&)>;

// Mean of the same month's source values of the up to eight grid neighbours that have one.
// Columns wrap around (the grid spans the whole circle of longitude); rows do not.
// `used` receives how many neighbours had a value. No neighbour value: nullopt.
std::optional<double> neighbour_mean(const MonthlyGrid& grid, int month, int row, int column,
                                     int* used = nullptr);

// Hands every cell where all four variables have data to `take`, in the order the source
// lines run. A missing month is filled with neighbour_mean, which reads source values only,
// never another fill. A cell is left out when one variable lacks more than `max_missing`
// months, or a gap that no neighbour can fill. Cells without any data (sea, Antarctica)
// are skipped silently. All grids must have the same size and number of months.
CellCollection collect_cells(const std::array<const MonthlyGrid*, kVariables>& grids,
                             int max_missing, const CellSink& take);

} // namespace skyfetch::databuild
