#include "graph/ScaleAxis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace skyfetch {
namespace {

struct AxisCase {
    const char* name;
    double min;
    double max;
    bool fixedUnitSteps;
    double preferredStep;
    double axisMin;
    double axisMax;
    double major;
    double minor;
};

// Expected values worked out by hand from the rounding rules.
const AxisCase kCases[] = {
    // The graph's own calls (preferred step 100).
    {"all zero precipitation", 0, 0, false, 100, 0, 0.001, 0.0002, 0.0001},
    {"constant 5 degrees", 5, 5, false, 100, 4.999, 5, 0.0002, 0.0001},
    {"precipitation up to 250", 0, 250, false, 100, 0, 250, 50, 10},
    {"precipitation up to 101", 0, 101, false, 100, 0, 150, 50, 10},
    {"precipitation exactly 100", 0, 100, false, 100, 0, 100, 20, 10},
    {"temperatures -12.3 to 18.7", -12.3, 18.7, false, 100, -20, 20, 10, 2},
    {"temperatures 20 to 28", 20, 28, false, 100, 20, 28, 2, 1},
    {"negative constant", -3, -3, false, 100, -3.001, -3, 0.0002, 0.0001},
    {"tenths", 0.25, 0.55, false, 100, 0.2, 0.6, 0.1, 0.02},
    {"mantissa just above 5", 0, 5.2, false, 100, 0, 6, 2, 1},
    // Other modes of the routine.
    {"preferred mantissa 5, few steps", 20, 28, false, 5, 20, 28, 0.5, 0.1},
    {"preferred mantissa 3", 0, 40, false, 3, 0, 42, 3, 1},
    {"preferred mantissa 1, enough steps", 0, 7, false, 1, 0, 7, 1, 0.2},
    {"fixed unit steps, narrow", 0.5, 3.5, true, 100, 0, 4, 1, 1},
    {"fixed unit steps, wide", -2.5, 7.5, true, 100, -3, 8, 1, 0},
};

TEST(ScaleAxis, RoundsRangesOutToWholeSteps) {
    for (const AxisCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const AxisScale a = ScaleAxis(c.min, c.max, c.fixedUnitSteps, c.preferredStep);
        const double tolerance = 1e-9 * std::max(1.0, std::fabs(c.axisMax));
        EXPECT_NEAR(a.minimum, c.axisMin, tolerance);
        EXPECT_NEAR(a.maximum, c.axisMax, tolerance);
        EXPECT_NEAR(a.major, c.major, c.major * 1e-9);
        EXPECT_NEAR(a.minor, c.minor, std::max(c.minor, 1e-12) * 1e-9);
        EXPECT_DOUBLE_EQ(a.scale, 1 / (a.maximum - a.minimum));
    }
}

TEST(ScaleAxis, AxisAlwaysHoldsTheDataInAtMostFiveStepsAndAtLeastOne) {
    // Sweep ranges over several decades: the automatic step never gives more than five
    // steps of data range, and the rounded axis contains the data.
    for (double lo : {-40.0, -0.3, 0.0, 12.5}) {
        for (double range = 0.0013; range < 5000; range *= 1.37) {
            const double hi = lo + range;
            const AxisScale a = ScaleAxis(lo, hi, false, 100);
            SCOPED_TRACE(testing::Message() << lo << " .. " << hi);
            // Values within a millionth of a step of a tick count as on it.
            EXPECT_LE(a.minimum, lo + 1e-6 * a.major);
            EXPECT_GE(a.maximum, hi - 1e-6 * a.major);
            EXPECT_LE(range / a.major, 5 + 1e-9);
            const double steps = (a.maximum - a.minimum) / a.major;
            EXPECT_NEAR(steps, std::round(steps), 1e-6);
            EXPECT_GE(std::round(steps), 1);
        }
    }
}

} // namespace
} // namespace skyfetch
