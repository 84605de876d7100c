#include "ClimateConversion.h"

#include <array>
#include <cmath>

namespace skyfetch::databuild {
namespace {

RawValue limited(double rounded, int low, int high) {
    if (rounded < low)
        return {low, true};
    if (rounded > high)
        return {high, true};
    return {static_cast<int>(rounded), false};
}

} // namespace

int days_in_month(int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays.at(static_cast<std::size_t>(month));
}

const char* month_name(int month) {
    static constexpr std::array<const char*, 12> kNames = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    return kNames.at(static_cast<std::size_t>(month));
}

RawValue convert_temperature(double tenths_celsius) {
    return limited(std::round(tenths_celsius) + 500.0, 0, 1000);
}

RawValue convert_precipitation(double tenths_mm_per_day, int month) {
    // Multiplying before dividing keeps the product of two integers exact, so a total
    // that lies exactly halfway (5 tenths x 31 days = 15.5 mm) rounds up as it should.
    return limited(std::round(tenths_mm_per_day * days_in_month(month) / 10.0), 0, 9999);
}

RawValue convert_sunshine(double cloud_percent) {
    return limited(std::round(100.0 - cloud_percent), 0, 100);
}

RawValue convert_wet_days(double tenths_days, int month) {
    return limited(std::round(tenths_days / 10.0), 0, days_in_month(month));
}

RawValue convert_series_temperature(double celsius) {
    return limited(std::round(celsius * 10.0) + 500.0, 0, 1000);
}

RawValue convert_series_precipitation(double mm) {
    return limited(std::round(mm), 0, 9999);
}

RawValue convert_series_sunshine(double cloud_percent) {
    return limited(100.0 - std::round(cloud_percent), 0, 100);
}

RawValue convert_series_wet_days(double days, int month) {
    return limited(std::round(days), 0, days_in_month(month));
}

} // namespace skyfetch::databuild
