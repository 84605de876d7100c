#include "MonthlyGrid.h"

namespace skyfetch::databuild {

MonthlyGrid::MonthlyGrid(int columns, int rows)
    : columns_(columns), rows_(rows),
      values_(static_cast<std::size_t>(kMonths) * columns * rows, kMissing) {}

} // namespace skyfetch::databuild
