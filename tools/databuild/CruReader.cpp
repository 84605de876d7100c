#include "CruReader.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace skyfetch::databuild {
namespace {

constexpr std::size_t kFieldWidth = 5;
// The value the climatology files write where a cell has no data.
constexpr int kNoData = -9999;

// Next line of `text` from `pos` without its end-of-line (a trailing CR is dropped too).
bool next_line(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size())
        return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
        end = text.size();
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos = end + 1;
    return true;
}

// A right-aligned integer in a fixed-width field: optional blanks, optional sign, digits.
bool parse_field(std::string_view field, int& value) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size())
        return false;
    int v = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return false;
        v = v * 10 + (field[i] - '0');
    }
    value = negative ? -v : v;
    return true;
}

bool near(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

} // namespace

std::optional<MonthlyGrid> parse_cru_text(std::string_view text, bool require_global_grid,
                                          std::string& error) {
    std::size_t pos = 0;
    std::string_view line;
    if (!next_line(text, pos, line) || !next_line(text, pos, line)) {
        error = "missing header lines";
        return std::nullopt;
    }
    double size = 0, xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    int columns = 0, rows = 0, months = 0;
    {
        std::istringstream in{std::string(line)};
        if (!(in >> size >> xmin >> ymin >> xmax >> ymax >> columns >> rows >> months)) {
            error = "unreadable grid description on line 2";
            return std::nullopt;
        }
    }
    if (months != MonthlyGrid::kMonths || columns <= 0 || rows <= 0 || columns > 100000 ||
        rows > 100000) {
        error = "unexpected grid dimensions on line 2";
        return std::nullopt;
    }
    if (require_global_grid &&
        !(near(size, 0.5) && near(xmin, 0.25) && near(ymin, -89.75) && near(xmax, 359.75) &&
          near(ymax, 89.75) && columns == 720 && rows == 360)) {
        error = "not the global half-degree grid (0.5 0.25 -89.75 359.75 89.75 720 360)";
        return std::nullopt;
    }

    MonthlyGrid grid(columns, rows);
    const std::size_t width = static_cast<std::size_t>(columns) * kFieldWidth;
    for (int m = 0; m < months; ++m) {
        for (int r = 0; r < rows; ++r) {
            const long line_number = 3 + static_cast<long>(m) * rows + r;
            if (!next_line(text, pos, line)) {
                error = "file ends before line " + std::to_string(line_number);
                return std::nullopt;
            }
            if (line.size() != width) {
                error = "line " + std::to_string(line_number) + " holds " +
                        std::to_string(line.size()) + " characters, expected " +
                        std::to_string(width);
                return std::nullopt;
            }
            for (int c = 0; c < columns; ++c) {
                int v = 0;
                if (!parse_field(line.substr(c * kFieldWidth, kFieldWidth), v) || v > 9999 ||
                    v < kNoData) {
                    error = "bad value in line " + std::to_string(line_number) + ", column " +
                            std::to_string(c + 1);
                    return std::nullopt;
                }
                if (v != kNoData)
                    grid.set(m, r, c, v);
            }
        }
    }
    // Only blank lines may follow.
    while (next_line(text, pos, line)) {
        if (line.find_first_not_of(" \t") != std::string_view::npos) {
            error = "unexpected text after the last month";
            return std::nullopt;
        }
    }
    return grid;
}

std::optional<MonthlyGrid> read_cru_file(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        error = path + ": read error";
        return std::nullopt;
    }
    std::string why;
    auto grid = parse_cru_text(text, true, why);
    if (!grid)
        error = path + ": " + why;
    return grid;
}

} // namespace skyfetch::databuild
