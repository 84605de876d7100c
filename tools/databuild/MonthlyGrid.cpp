#include "MonthlyGrid.h"

namespace skyfetch::databuild {

MonthlyGrid::MonthlyGrid(int columns, int rows, int months)
    : columns_(columns), rows_(rows), months_(months),
      slot_(static_cast<std::size_t>(columns) * rows, -1) {}

void MonthlyGrid::set(int month, int row, int column, double value) {
    std::int32_t& s = slot_[cell(row, column)];
    if (s < 0) {
        if (std::isnan(value))
            return;
        s = static_cast<std::int32_t>(values_.size() / months_);
        values_.resize(values_.size() + months_, NAN);
    }
    values_[static_cast<std::size_t>(s) * months_ + month] = static_cast<float>(value);
}

} // namespace skyfetch::databuild
