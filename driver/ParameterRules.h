#pragma once

#include <string>

namespace skyfetch {

// The rules for the protocol (initialisation and scenario years) and the scenario
// changes, as plain functions: the dialog reports and corrects with them, the
// command-line tool refuses bad values with the same texts.

inline constexpr int kMinYears = 0;
inline constexpr int kMaxYears = 10000;
inline constexpr int kDefaultSpinupYears = 1000;
inline constexpr int kDefaultScenarioYears = 100;
// Fewer initialisation years than this ask whether to go on.
inline constexpr int kShortSpinupYears = 100;
// Stored form of the rain-day change, which this version never changes.
inline constexpr int kRainDaysChangeStored = 10000;

// Outcome of a range check. On failure, `message` is the text to show and the value is to
// be reset to `resetValue` (years) or to `resetMagnitude` with the direction `resetDecrease`
// (changes).
struct YearsCheck {
    bool ok = true;
    const char* message = "";
    int resetValue = 0;
};

struct ChangeCheck {
    bool ok = true;
    const char* message = "";
    double resetMagnitude = 0.0;
    bool resetDecrease = false;
};

YearsCheck check_spinup_years(int years);
YearsCheck check_scenario_years(int years);

// True when the number of initialisation years is short enough to ask before going on.
bool is_short_spinup(int years);
// The question asked then (to be answered Yes or No).
std::string short_spinup_question();
// Its first three sentences without the question itself, for a warning that does not ask
// (no trailing line end).
std::string short_spinup_warning();

// The changes are signed: a "Decrease" in the dialog is a negative value here.
double signed_change(double magnitude, bool decrease);
// -30 to 30 degrees Celsius. A value that is not a number is out of range.
ChangeCheck check_temperature_change(double change);
// -100 to 1000 percent.
ChangeCheck check_precipitation_change(double change);
ChangeCheck check_co2_change(double change);

// Changes are stored as integers in tenths offset by 10000 (10000 = no change), rounded
// to the nearest tenth, halves up: trunc(change * 10 + 10000.5).
int encode_change(double change);
double decode_change(int stored);
// Locations are stored in hundredths of a degree offset by 20000, truncated:
// trunc(degrees * 100 + 20000).
int encode_location(double degrees);
double decode_location(int stored);

} // namespace skyfetch
