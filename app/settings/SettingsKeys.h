#pragma once

// Every key the program keeps between runs, with its default and its stored form.
//
// The application profile (section "SKYFETCH") holds integers only: the changes in
// tenths offset by 10000 (10000 is no change, 9975 is -2.5), the location in hundredths
// of a degree offset by 20000 (east and north positive). The shared profile (section
// "PHYTOMOD") holds texts that the model's other tools read too.

#include <cmath>

namespace skyfetch::settings {

inline constexpr const char* kApplicationSection = "SKYFETCH";
inline constexpr const char* kSharedSection = "PHYTOMOD";

// Application profile.
inline constexpr const char* kSpinupYears = "SPINUPYEARS";
inline constexpr const char* kScenarioYears = "SCENARIOYEARS";
inline constexpr const char* kTempChange = "TEMPCHANGE";
inline constexpr const char* kPrecipChange = "PRECIPCHANGE";
inline constexpr const char* kCo2Change = "CO2CHANGE";
inline constexpr const char* kRainDaysChange = "RAINDAYSCHANGE";
inline constexpr const char* kLongitude = "LONGITUDE";
inline constexpr const char* kLatitude = "LATITUDE";

inline constexpr int kDefaultSpinupYears = 1000;
inline constexpr int kDefaultScenarioYears = 100;
inline constexpr int kNoChange = 10000;         // stored form of a change of 0
inline constexpr int kDefaultLongitude = 34725; // 147.25 E
inline constexpr int kDefaultLatitude = 15725;  // 42.75 S

// Shared profile.
inline constexpr const char* kLastDir = "SKYFETCH_LAST_DIR";
inline constexpr const char* kLastFile = "SKYFETCH_LAST_FILE";
inline constexpr const char* kHaveOutput = "SKYFETCH_HAVE_OUTPUT";

// A stored change back to degrees or percent.
inline double decode_change(int stored) {
    return (stored - kNoChange) * 0.1;
}

// A signed change in tenths, rounded to the nearest tenth with halves upwards: every
// valid change keeps value * 10 + 10000.5 positive, so truncation rounds.
inline int encode_change(double value) {
    return int(value * 10 + 10000.5);
}

// A stored location back to signed degrees.
inline double decode_location(int stored) {
    return (stored - 20000) * 0.01;
}

// A signed location in hundredths of a degree; the fraction is dropped, not rounded
// (-0.25 is stored as 19975, -0.257 as 19974).
inline int encode_location(double degrees) {
    return int(std::trunc(degrees * 100 + 20000));
}

} // namespace skyfetch::settings
