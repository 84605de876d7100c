#include "climate/Spinup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace skyfetch {
namespace {

// 120 monthly values: month m of year y is base(m) + trend * y + wobble(y).
void fill_series(double* out, double trend, double (*wobble)(int)) {
    for (int y = 0; y < kDataYears; ++y)
        for (int m = 0; m < 12; ++m)
            out[12 * y + m] = 10.0 * std::sin(m * 0.5) + 3.0 * m + trend * y + wobble(y);
}

double none(int) {
    return 0.0;
}
// Symmetric about the middle of the ten years: changes the means, not their slope.
double symmetric(int y) {
    const double w[10] = {0.4, -1.2, 2.5, 0.3, -0.7, -0.7, 0.3, 2.5, -1.2, 0.4};
    return w[y];
}

// Slope of the annual means by the centred formula (independent of the ring's code).
double annual_slope(const double* data) {
    double mean[kDataYears];
    double meanOfMeans = 0.0;
    for (int y = 0; y < kDataYears; ++y) {
        mean[y] = 0.0;
        for (int m = 0; m < 12; ++m)
            mean[y] += data[12 * y + m] / 12.0;
        meanOfMeans += mean[y] / kDataYears;
    }
    double num = 0.0, den = 0.0;
    for (int y = 0; y < kDataYears; ++y) {
        num += (y - 4.5) * (mean[y] - meanOfMeans);
        den += (y - 4.5) * (y - 4.5);
    }
    return num / den;
}

TEST(Spinup, TenYearsWrapBackToTheFirst) {
    double source[kMonthsPerRecord];
    for (int k = 0; k < kMonthsPerRecord; ++k)
        source[k] = 1000.0 + k;
    Spinup_data ring(kDataYears);
    ring.set_data(source, 0);
    for (int step = 0; step < 25; ++step) {
        const int year = step % kDataYears;
        ASSERT_EQ(ring.current_year(), year);
        for (int m = 0; m < 12; ++m)
            ASSERT_EQ(ring.month_value(m), source[12 * year + m]) << step << " " << m;
        ring.next_year();
    }
}

TEST(Spinup, RisingSeriesDetrendsToFirstYear) {
    double source[kMonthsPerRecord];
    fill_series(source, 1.0, none);
    Spinup_data ring(kDataYears);
    ring.set_data(source, 0);
    ring.detrend_data();
    for (int y = 0; y < kDataYears; ++y)
        for (int m = 0; m < 12; ++m)
            ASSERT_NEAR(ring.data()[12 * y + m], source[m], 1e-9) << y << " " << m;
}

TEST(Spinup, SeriesWithoutTrendUnchanged) {
    double source[kMonthsPerRecord];
    fill_series(source, 0.0, symmetric);
    Spinup_data ring(kDataYears);
    ring.set_data(source, 0);
    ring.detrend_data();
    for (int k = 0; k < kMonthsPerRecord; ++k)
        ASSERT_NEAR(ring.data()[k], source[k], 1e-9) << k;
}

TEST(Spinup, NoisySeriesLosesItsSlopeAndKeepsYearZero) {
    std::mt19937 rng(77);
    std::normal_distribution<double> noise(0.0, 4.0);
    double source[kMonthsPerRecord];
    for (int k = 0; k < kMonthsPerRecord; ++k)
        source[k] = -0.37 * (k / 12) + noise(rng);
    const double before = annual_slope(source);
    ASSERT_GT(std::fabs(before), 0.01);

    Spinup_data ring(kDataYears);
    ring.set_data(source, 0);
    ring.detrend_data();
    EXPECT_NEAR(annual_slope(ring.data()), 0.0, 1e-9);
    for (int y = 0; y < kDataYears; ++y)
        for (int m = 0; m < 12; ++m)
            ASSERT_NEAR(ring.data()[12 * y + m], source[12 * y + m] - y * before, 1e-9);
}

TEST(Spinup, SetDataKeepsCurrentYearAndResetReturnsToZero) {
    double first[kMonthsPerRecord], second[kMonthsPerRecord];
    for (int k = 0; k < kMonthsPerRecord; ++k) {
        first[k] = k;
        second[k] = -k;
    }
    Spinup_data ring(kDataYears);
    ring.set_data(first, 0);
    for (int i = 0; i < 3; ++i)
        ring.next_year();
    ring.set_data(second, 0);
    EXPECT_EQ(ring.current_year(), 3);
    EXPECT_EQ(ring.month_value(4), second[12 * 3 + 4]);
    ring.reset();
    EXPECT_EQ(ring.current_year(), 0);
    EXPECT_EQ(ring.month_value(4), second[4]);
}

TEST(Spinup, SetDataFromALaterFirstYear) {
    double source[12 * 12];
    for (int k = 0; k < 12 * 12; ++k)
        source[k] = 0.5 * k;
    Spinup_data ring(kDataYears);
    ring.set_data(source, 2);
    EXPECT_EQ(ring.data()[0], source[24]);
    EXPECT_EQ(ring.data()[119], source[143]);
}

TEST(Spinup, LinearRegressionOfALine) {
    const double x[4] = {0, 1, 2, 3};
    const double y[4] = {3, 5, 7, 9};
    double a = 0, b = 0;
    EXPECT_TRUE(linear_regression(x, y, 4, a, b));
    EXPECT_NEAR(a, 3.0, 1e-12);
    EXPECT_NEAR(b, 2.0, 1e-12);
    const double same[3] = {1, 1, 1};
    EXPECT_FALSE(linear_regression(same, y, 3, a, b));
    EXPECT_EQ(b, 0.0);
}

TEST(SpinupSet, FillDetrendsOnlyTemperatureAndSetsRunOnTheirOwn) {
    CellRecord rec;
    fill_series(rec.mtemp, 0.8, none);
    fill_series(rec.mprec, 5.0, none);
    fill_series(rec.msun, -2.0, none);
    fill_series(rec.mwet, 1.0, none);

    SpinupSet& init = initialisation_set();
    SpinupSet& scen = scenario_set();
    ASSERT_NE(&init, &scen);
    init.reset();
    scen.reset();
    init.fill(rec);
    scen.fill(rec);
    for (int i = 0; i < 7; ++i)
        init.next_year();
    EXPECT_EQ(init.temperature.current_year(), 7);
    EXPECT_EQ(init.raindays.current_year(), 7);
    EXPECT_EQ(scen.temperature.current_year(), 0);

    // Temperature of year 7 is back at year 0's level; the others keep their trend.
    for (int m = 0; m < 12; ++m) {
        EXPECT_NEAR(init.temperature.month_value(m), rec.mtemp[m], 1e-9);
        EXPECT_EQ(init.precipitation.month_value(m), rec.mprec[12 * 7 + m]);
        EXPECT_EQ(init.sunshine.month_value(m), rec.msun[12 * 7 + m]);
        EXPECT_EQ(init.raindays.month_value(m), rec.mwet[12 * 7 + m]);
    }

    // Filling again (a second file in the same run) does not detrend twice.
    init.fill(rec);
    init.reset();
    for (int y = 0; y < kDataYears; ++y, init.next_year())
        EXPECT_NEAR(init.temperature.month_value(3), rec.mtemp[3], 1e-9);
    EXPECT_EQ(init.temperature.current_year(), 0);
    init.reset();
    scen.reset();
}


TEST(SpinupSet, PreparingForANewFileStartsBothSetsAtYearZero) {
    CellRecord rec;
    fill_series(rec.mtemp, 0.5, none);
    fill_series(rec.mprec, 3.0, none);
    fill_series(rec.msun, 1.0, none);
    fill_series(rec.mwet, 2.0, none);
    // A file written before left the sets somewhere in their ten years.
    for (int i = 0; i < 3; ++i)
        initialisation_set().next_year();
    for (int i = 0; i < 6; ++i)
        scenario_set().next_year();

    prepare_spinup_sets(rec);
    for (SpinupSet* set : {&initialisation_set(), &scenario_set()}) {
        EXPECT_EQ(set->temperature.current_year(), 0);
        EXPECT_EQ(set->sunshine.current_year(), 0);
        for (int m = 0; m < 12; ++m) {
            EXPECT_EQ(set->precipitation.month_value(m), rec.mprec[m]);
            EXPECT_NEAR(set->temperature.month_value(m), rec.mtemp[m], 1e-9);
        }
        set->next_year(); // detrended: year 1 is back at year 0's temperature
        EXPECT_NEAR(set->temperature.month_value(0), rec.mtemp[0], 1e-9);
        EXPECT_EQ(set->raindays.month_value(0), rec.mwet[12]);
        set->reset();
    }
}

} // namespace
} // namespace skyfetch
