#pragma once

#include "MonthlyGrid.h"

#include <optional>
#include <string>
#include <string_view>

namespace skyfetch::databuild {

// Reads one CRU CL 1.0 climatology (.dat): two header lines (names, then grid size,
// xmin, ymin, xmax, ymax, columns, rows, months), then for each of the 12 months one
// line per grid row from north to south, each holding `columns` integers of exactly
// five characters. Only the half-degree global grid the archive is keyed on is accepted:
// 0.5 degree, centres 0.25..359.75 E and 89.75 S..89.75 N.
std::optional<MonthlyGrid> read_cru_file(const std::string& path, std::string& error);

// The same for text already in memory; `columns` and `rows` come from the header, so a
// small grid can be parsed when `require_global_grid` is false.
std::optional<MonthlyGrid> parse_cru_text(std::string_view text, bool require_global_grid,
                                          std::string& error);

} // namespace skyfetch::databuild
