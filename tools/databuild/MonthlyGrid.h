#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace skyfetch::databuild {

// Monthly fields of one source variable on a regular grid, indexed as the CRU CL lines run
// (row 0 = northernmost, column 0 = 0.25 E): twelve months of a climatology or the 120
// months of ten calendar years. Values are kept in the source's own units; a cell without
// a value in a month reads as missing.
//
// Storage is per cell, and only for cells that received a value: over the whole globe
// fewer than a third of the cells are land, and ten years of four variables for every
// cell would take half a gigabyte.
class MonthlyGrid {
public:
    static constexpr int kMonths = 12;

    MonthlyGrid(int columns, int rows, int months = kMonths);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int months() const { return months_; }

    double at(int month, int row, int column) const {
        const std::int32_t s = slot_[cell(row, column)];
        return s < 0 ? NAN : values_[static_cast<std::size_t>(s) * months_ + month];
    }
    bool has(int month, int row, int column) const { return !std::isnan(at(month, row, column)); }
    // Stores a value; NaN marks the month missing.
    void set(int month, int row, int column, double value);

private:
    std::size_t cell(int row, int column) const {
        return static_cast<std::size_t>(row) * columns_ + column;
    }

    int columns_;
    int rows_;
    int months_;
    std::vector<std::int32_t> slot_; // per cell: its block of `months_` values, or -1
    std::vector<float> values_;
};

} // namespace skyfetch::databuild
