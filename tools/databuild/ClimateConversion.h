#pragma once

namespace skyfetch::databuild {

// Days of month m (0 = January) in a year without 29 February, as the model counts them:
// its years have 365 days, so a leap year's 29th February is never a rain day of its own.
int days_in_month(int month);
// "January" .. "December" for month 0 .. 11.
const char* month_name(int month);

// One source value turned into the raw integer the archive stores, and whether it had
// to be limited to the field's range.
struct RawValue {
    int raw = 0;
    bool clamped = false;
};

// Rounding is to the nearest integer with halves away from zero (std::round).
//
// Temperature: tenths of a degree Celsius -> raw = tenths + 500 (decoded as raw * 0.1 - 50),
// limited to 0..1000, i.e. -50.0..50.0 degC.
RawValue convert_temperature(double tenths_celsius);
// Precipitation: tenths of a mm per day -> mm in the month, limited to 0..9999.
RawValue convert_precipitation(double tenths_mm_per_day, int month);
// Sunshine: percent of clear sky = 100 - cloud cover percent, limited to 0..100.
RawValue convert_sunshine(double cloud_percent);
// Wet days: tenths of a day -> whole days, limited to 0..days of the month.
RawValue convert_wet_days(double tenths_days, int month);

// The same fields from a monthly time series, which stores plain units: temperature in
// degrees Celsius, precipitation in mm per month, cloud cover in percent, wet days in days.
RawValue convert_series_temperature(double celsius);      // round(celsius x 10) + 500
RawValue convert_series_precipitation(double mm);         // round(mm)
RawValue convert_series_sunshine(double cloud_percent);   // 100 - round(cloud)
RawValue convert_series_wet_days(double days, int month); // round(days)

} // namespace skyfetch::databuild
