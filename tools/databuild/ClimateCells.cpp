#include "ClimateCells.h"

#include <stdexcept>

namespace skyfetch::databuild {

const char* variable_name(Variable v) {
    switch (v) {
    case Variable::Temperature:
        return "temperature";
    case Variable::Precipitation:
        return "precipitation";
    case Variable::Cloud:
        return "cloud cover";
    case Variable::WetDays:
        return "wet days";
    }
    return "?";
}

int lon_index_of_source_column(int column) {
    // Column c spans 0.5c..0.5c+0.5 degrees east; from 180 E on that is west longitude.
    return (column + 360) % 720;
}

int lat_index_of_source_row(int row) {
    return 359 - row;
}

std::optional<double> neighbour_mean(const MonthlyGrid& grid, int month, int row, int column,
                                     int* used) {
    const int n = grid.columns();
    // West, own and east column; on a grid narrower than three columns some coincide and
    // must count once.
    int cols[3] = {(column - 1 + n) % n, column, (column + 1) % n};
    int ncols = 3;
    if (cols[2] == cols[0])
        ncols = 2;
    if (n == 1)
        ncols = 1;
    double sum = 0;
    int count = 0;
    for (int dr = -1; dr <= 1; ++dr) {
        const int r = row + dr;
        if (r < 0 || r >= grid.rows())
            continue;
        for (int k = 0; k < ncols; ++k) {
            const int c = cols[k];
            if (dr == 0 && c == column)
                continue;
            if (grid.has(month, r, c)) {
                sum += grid.at(month, r, c);
                ++count;
            }
        }
    }
    if (used)
        *used = count;
    if (count == 0)
        return std::nullopt;
    return static_cast<double>(sum) / count;
}

CellCollection collect_cells(const std::array<const MonthlyGrid*, kVariables>& grids,
                             int max_missing, const CellSink& take) {
    const MonthlyGrid& first = *grids[0];
    for (const MonthlyGrid* g : grids)
        if (g->columns() != first.columns() || g->rows() != first.rows() ||
            g->months() != first.months())
            throw std::invalid_argument("climate grids differ in size");
    const int months = first.months();
    if (months > kSeriesMonths)
        throw std::invalid_argument("more months than the archive holds");

    CellCollection out;
    SourceCell cell;
    cell.months = months;
    std::vector<MonthFill> fills;
    for (int row = 0; row < first.rows(); ++row) {
        for (int column = 0; column < first.columns(); ++column) {
            std::array<int, kVariables> months_present{};
            int any = 0;
            for (int v = 0; v < kVariables; ++v) {
                for (int m = 0; m < months; ++m)
                    months_present[v] += grids[v]->has(m, row, column) ? 1 : 0;
                any += months_present[v];
            }
            if (any == 0)
                continue;

            cell.source_row = row;
            cell.source_column = column;
            cell.lon_index = lon_index_of_source_column(column);
            cell.lat_index = lat_index_of_source_row(row);
            fills.clear();
            bool complete = true;
            for (int v = 0; v < kVariables && complete; ++v) {
                const Variable var = static_cast<Variable>(v);
                const int missing = months - months_present[v];
                if (missing > max_missing) {
                    out.omitted.push_back({row, column, var, -1, missing, months});
                    complete = false;
                    break;
                }
                for (int m = 0; m < months; ++m) {
                    if (grids[v]->has(m, row, column)) {
                        cell.values[v][m] = grids[v]->at(m, row, column);
                        continue;
                    }
                    int used = 0;
                    const auto mean = neighbour_mean(*grids[v], m, row, column, &used);
                    if (!mean) {
                        out.omitted.push_back({row, column, var, m, missing, months});
                        complete = false;
                        break;
                    }
                    cell.values[v][m] = *mean;
                    fills.push_back({row, column, var, m, *mean, used});
                }
            }
            if (!complete)
                continue;
            out.fills.insert(out.fills.end(), fills.begin(), fills.end());
            ++out.cells;
            take(cell);
        }
    }
    return out;
}

} // namespace skyfetch::databuild
