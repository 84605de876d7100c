#pragma once

#include <cstdint>
#include <vector>

namespace skyfetch::databuild {

// Twelve monthly fields of one source variable on a regular grid, indexed as the source
// runs (row 0 first, column 0 first). Values are the stored integers; cells without data
// hold kMissing.
class MonthlyGrid {
public:
    static constexpr int kMonths = 12;
    static constexpr int kMissing = -9999;

    MonthlyGrid(int columns, int rows);

    int columns() const { return columns_; }
    int rows() const { return rows_; }

    int at(int month, int row, int column) const { return values_[index(month, row, column)]; }
    bool has(int month, int row, int column) const { return at(month, row, column) != kMissing; }
    void set(int month, int row, int column, int value) {
        values_[index(month, row, column)] = static_cast<std::int16_t>(value);
    }

private:
    std::size_t index(int month, int row, int column) const {
        return (static_cast<std::size_t>(month) * rows_ + row) * columns_ + column;
    }

    int columns_;
    int rows_;
    std::vector<std::int16_t> values_;
};

} // namespace skyfetch::databuild
