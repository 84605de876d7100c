#include "driver/NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace skyfetch {
namespace {

std::string with_printf(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    // The C library of mingw drops the sign of a NaN, which glibc's printf, whose digits
    // the program gives everywhere, shows.
    if (std::isnan(value) && std::signbit(value) && buffer[0] != '-')
        return std::string("-") + buffer;
    return buffer;
}

std::string with_formatter(char* (*format)(char*, double), double value) {
    char buffer[kNumberTextMax];
    return std::string(buffer, format(buffer, value));
}

void expect_like_printf(double value) {
    EXPECT_EQ(with_formatter(format_fixed1, value), with_printf("%0.1f", value))
        << std::hexfloat << value;
    EXPECT_EQ(with_formatter(format_fixed0, value), with_printf("%0.0f", value))
        << std::hexfloat << value;
    EXPECT_EQ(with_formatter(format_general, value), with_printf("%g", value))
        << std::hexfloat << value;
}

TEST(NumberFormat, EdgeValuesMatchPrintf) {
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0,
                             -0.0,
                             0.04,
                             -0.04,
                             0.05,
                             -0.05,
                             0.049,
                             0.15,
                             0.25,
                             -0.25,
                             0.35,
                             0.45,
                             0.5,
                             -0.5,
                             1.5,
                             2.5,
                             -2.5,
                             3.5,
                             0.75,
                             1.25,
                             9.95,
                             99.95,
                             -9.95,
                             0.95,
                             1e14,
                             -1e14,
                             1e14 - 0.5,
                             99999999999999.95,
                             1e15,
                             1e16,
                             1e22,
                             1e300,
                             DBL_MAX,
                             -DBL_MAX,
                             DBL_MIN,
                             4.9e-324,
                             -4.9e-324,
                             inf,
                             -inf,
                             std::nan(""),
                             -std::nan(""),
                             330.0,
                             660.0,
                             4503599627370495.5,
                             4503599627370496.0,
                             1e-5,
                             123456.5,
                             1234567.0,
                             0.0001};
    for (double v : values)
        expect_like_printf(v);
}

TEST(NumberFormat, TiesRoundToEvenOnTheBinaryValue) {
    // Exact halves (k + 0.5 and k/10 + 0.05 that binary can hold: .25, .75) and their
    // neighbours one to three units in the last place away.
    for (int k = -2000; k <= 2000; ++k) {
        const double centres[] = {k + 0.5, k + 0.25, k + 0.75, (k + 0.5) / 10.0, k * 0.1 + 0.05};
        for (double centre : centres) {
            double below = centre;
            double above = centre;
            expect_like_printf(centre);
            for (int step = 0; step < 3; ++step) {
                below = std::nextafter(below, -INFINITY);
                above = std::nextafter(above, INFINITY);
                expect_like_printf(below);
                expect_like_printf(above);
            }
        }
    }
}

TEST(NumberFormat, RandomValuesMatchPrintf) {
    std::mt19937_64 random(20081103);
    std::uniform_real_distribution<double> climate(-80.0, 1200.0);
    std::uniform_int_distribution<int> exponent(-30, 60);
    for (int i = 0; i < 100000; ++i) {
        expect_like_printf(climate(random));
        expect_like_printf(std::ldexp(climate(random), exponent(random)));
        // Any bit pattern: subnormals, huge values, NaNs with either sign.
        const std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        expect_like_printf(v);
        if (HasFailure())
            break;
    }
}

TEST(NumberFormat, IntegersMatchPrintf) {
    const int values[] = {0, 1, -1, 9, 10, 330, 10000, 20000, INT_MAX, INT_MIN};
    for (int v : values) {
        char buffer[kNumberTextMax];
        char expected[32];
        std::snprintf(expected, sizeof expected, "%d", v);
        EXPECT_EQ(std::string(buffer, format_int(buffer, v)), expected);
    }
}

} // namespace
} // namespace skyfetch
