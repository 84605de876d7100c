#include "driver/ParameterRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace skyfetch {
namespace {

TEST(ParameterRules, YearRanges) {
    struct Row {
        int years;
        bool ok;
    };
    const Row rows[] = {{-1, false},   {0, true},      {99, true},
                        {10000, true}, {10001, false}, {-2147483647 - 1, false}};
    for (const Row& row : rows) {
        const YearsCheck spinup = check_spinup_years(row.years);
        EXPECT_EQ(spinup.ok, row.ok) << row.years;
        const YearsCheck scenario = check_scenario_years(row.years);
        EXPECT_EQ(scenario.ok, row.ok) << row.years;
        if (!row.ok) {
            EXPECT_STREQ(spinup.message, "Number of spinup years must be in the range 0-10000");
            EXPECT_EQ(spinup.resetValue, 1000);
            EXPECT_STREQ(scenario.message, "Number of scenario years must be in the range 0-10000");
            EXPECT_EQ(scenario.resetValue, 100);
        }
    }
}

TEST(ParameterRules, ShortInitialisationQuestion) {
    EXPECT_TRUE(is_short_spinup(99));
    EXPECT_TRUE(is_short_spinup(0));
    EXPECT_FALSE(is_short_spinup(100));
    EXPECT_EQ(short_spinup_question(),
              "You have specified a very short initialisation phase for the simulation.\n"
              "The initialisation should normally be set to at least three times the average\n"
              "disturbance interval and at most 1000 years.\n\nProceed anyway?");
    EXPECT_EQ(short_spinup_warning(),
              "You have specified a very short initialisation phase for the simulation.\n"
              "The initialisation should normally be set to at least three times the average\n"
              "disturbance interval and at most 1000 years.");
}

TEST(ParameterRules, ChangeRangesMessagesAndResets) {
    const char* const temp = "Temperature change must be in the range -30 to 30 \xc2\xb0"
                             "C";
    const char* const precLow = "Precipitation cannot decrease by more than 100 percent!";
    const char* const precHigh = "Precipitation increase must be in the range 0-1000 %";
    const char* const co2Low = "CO2 concentration cannot decrease by more than 100 percent!";
    const char* const co2High = "CO2 increase must be in the range 0-1000 %";
    struct Row {
        ChangeCheck (*check)(double);
        double value;
        bool ok;
        const char* message;
        double resetMagnitude;
        bool resetDecrease;
    };
    const double nan = std::nan("");
    const Row rows[] = {
        {check_temperature_change, -30, true, "", 0, false},
        {check_temperature_change, 30, true, "", 0, false},
        {check_temperature_change, -31, false, temp, 25, true},
        {check_temperature_change, -30.01, false, temp, 25, true},
        {check_temperature_change, 30.5, false, temp, 25, false},
        {check_temperature_change, nan, false, temp, 25, false},
        {check_precipitation_change, -100, true, "", 0, false},
        {check_precipitation_change, 1000, true, "", 0, false},
        {check_precipitation_change, -100.1, false, precLow, 100, true},
        {check_precipitation_change, 1000.1, false, precHigh, 1000, false},
        {check_precipitation_change, INFINITY, false, precHigh, 1000, false},
        {check_co2_change, -100, true, "", 0, false},
        {check_co2_change, 1000, true, "", 0, false},
        {check_co2_change, -101, false, co2Low, 100, true},
        {check_co2_change, 1001, false, co2High, 1000, false},
        {check_co2_change, -INFINITY, false, co2Low, 100, true},
    };
    for (const Row& row : rows) {
        const ChangeCheck got = row.check(row.value);
        EXPECT_EQ(got.ok, row.ok) << row.value;
        if (row.ok)
            continue;
        EXPECT_STREQ(got.message, row.message) << row.value;
        EXPECT_EQ(got.resetMagnitude, row.resetMagnitude) << row.value;
        EXPECT_EQ(got.resetDecrease, row.resetDecrease) << row.value;
    }
    EXPECT_EQ(signed_change(2.5, true), -2.5);
    EXPECT_EQ(signed_change(2.5, false), 2.5);
}

TEST(ParameterRules, StoredChanges) {
    struct Row {
        double change;
        int stored;
    };
    // Nearest tenth, halves up: -0.05 gives -0.0.
    const Row rows[] = {{0, 10000},     {-2.5, 9975},  {1.5, 10015},  {-1.5, 9985},
                        {1000, 20000},  {-100, 9000},  {-30, 9700},   {0.05, 10001},
                        {-0.05, 10000}, {0.04, 10000}, {-0.06, 9999}, {123.456, 11235}};
    for (const Row& row : rows)
        EXPECT_EQ(encode_change(row.change), row.stored) << row.change;
    EXPECT_DOUBLE_EQ(decode_change(9975), -2.5);
    EXPECT_DOUBLE_EQ(decode_change(10015), 1.5);
    // Every stored value of the valid ranges comes back unchanged.
    for (int stored = 9000; stored <= 20000; ++stored)
        ASSERT_EQ(encode_change(decode_change(stored)), stored);
    EXPECT_EQ(encode_change(std::nan("")), 10000);
    EXPECT_EQ(encode_change(1e300), 2147483647);
}

TEST(ParameterRules, StoredLocations) {
    struct Row {
        double degrees;
        int stored;
    };
    // Truncated, not rounded.
    const Row rows[] = {{147.25, 34725}, {-42.75, 15725}, {-0.25, 19975},  {-0.5, 19950},
                        {-180, 2000},    {180, 38000},    {13.256, 21325}, {0, 20000}};
    for (const Row& row : rows)
        EXPECT_EQ(encode_location(row.degrees), row.stored) << row.degrees;
    EXPECT_DOUBLE_EQ(decode_location(34725), 147.25);
    EXPECT_DOUBLE_EQ(decode_location(15725), -42.75);
    EXPECT_DOUBLE_EQ(decode_location(2000), -180.0);
    EXPECT_DOUBLE_EQ(decode_location(38000), 180.0);
    EXPECT_DOUBLE_EQ(decode_location(-2147483647 - 1), (-2147483648.0 - 20000) * 0.01);
}

} // namespace
} // namespace skyfetch
