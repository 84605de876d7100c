#include "putil/CNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace skyfetch {
namespace {

// What strtod reads by the C rules, on every platform: how much of the text and its value.
TEST(CNumbers, ReadWhatStrtodReadsByTheCRules) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* text;
        double value;
        int used;
    } rows[] = {
        {"13.25", 13.25, 5},    {"13,25", 13, 2}, {" \t-2.5e1x", -25, 8}, {"+0x10", 16, 5},
        {"0x1.8p1", 3, 7},      {"0x", 0, 1},     {"0x-5", 0, 1},         {"inf", inf, 3},
        {"-Infinity", -inf, 9}, {"nan", NAN, 3},  {"1e999", inf, 5},      {"-1e-999", 0, 7},
        {"--5", 0, 0},          {"+-5", 0, 0},    {"abc", 0, 0},          {"", 0, 0},
    };
    for (const auto& row : rows) {
        char* end = nullptr;
        const double value = c_strtod(row.text, &end);
        EXPECT_EQ(end - row.text, row.used) << row.text;
        EXPECT_TRUE(value == row.value || (std::isnan(value) && std::isnan(row.value)))
            << row.text << ": " << value;
    }
}

} // namespace
} // namespace skyfetch
