#pragma once

// Every key the program keeps between runs, with its default.
//
// The application profile (section "SKYFETCH") holds integers: the changes in tenths
// offset by 10000 (10000 is no change, 9975 is -2.5), the location in hundredths of a
// degree offset by 20000 (east and north positive); encode_change and encode_location
// (driver/ParameterRules.h) make these forms. Its one text is the folder a chart was
// last saved to, stored verbatim. The default years are
// the protocol's own (kDefaultSpinupYears, kDefaultScenarioYears there). The shared profile
// (section "PHYTOMOD") holds texts that the model's other tools read too.

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
inline constexpr const char* kChartDir = "CHARTDIR";

inline constexpr int kNoChange = 10000;         // stored form of a change of 0
inline constexpr int kDefaultLongitude = 34725; // 147.25 E
inline constexpr int kDefaultLatitude = 15725;  // 42.75 S

// Shared profile.
inline constexpr const char* kLastDir = "SKYFETCH_LAST_DIR";
inline constexpr const char* kLastFile = "SKYFETCH_LAST_FILE";
inline constexpr const char* kHaveOutput = "SKYFETCH_HAVE_OUTPUT";

} // namespace skyfetch::settings
