#include "driver/ParameterRules.h"

#include <climits>
#include <cmath>

namespace skyfetch {
namespace {

const char* const kShortSpinupPieces[4] = {
    "You have specified a very short initialisation phase for the simulation.\n",
    "The initialisation should normally be set to at least three times the average\n",
    "disturbance interval and at most 1000 years.\n\n",
    "Proceed anyway?",
};

struct ChangeRule {
    double low;
    double high;
    const char* tooLow;
    const char* tooHigh;
    double resetLow;  // magnitude set, with "Decrease", below the range
    double resetHigh; // magnitude set, with "Increase", above it
};

ChangeCheck check_change(double change, const ChangeRule& rule) {
    if (change < rule.low)
        return {false, rule.tooLow, rule.resetLow, true};
    // Written so that a value that is not a number fails as well.
    if (!(change <= rule.high))
        return {false, rule.tooHigh, rule.resetHigh, false};
    return {};
}

// trunc() of a value that may lie outside the int range (or be no number at all).
int truncate_to_int(double value, int fallback) {
    if (std::isnan(value))
        return fallback;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

YearsCheck check_spinup_years(int years) {
    if (years < kMinYears || years > kMaxYears)
        return {false, "Number of spinup years must be in the range 0-10000", kDefaultSpinupYears};
    return {};
}

YearsCheck check_scenario_years(int years) {
    if (years < kMinYears || years > kMaxYears)
        return {false, "Number of scenario years must be in the range 0-10000",
                kDefaultScenarioYears};
    return {};
}

bool is_short_spinup(int years) {
    return years < kShortSpinupYears;
}

std::string short_spinup_question() {
    std::string text;
    for (const char* piece : kShortSpinupPieces)
        text += piece;
    return text;
}

std::string short_spinup_warning() {
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += kShortSpinupPieces[i];
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

double signed_change(double magnitude, bool decrease) {
    return decrease ? -magnitude : magnitude;
}

ChangeCheck check_temperature_change(double change) {
    // The reset magnitude is 25, inside the range rather than at its edge.
    static const ChangeRule rule{-30.0,
                                 30.0,
                                 "Temperature change must be in the range -30 to 30 \u00b0C",
                                 "Temperature change must be in the range -30 to 30 \u00b0C",
                                 25.0,
                                 25.0};
    return check_change(change, rule);
}

ChangeCheck check_precipitation_change(double change) {
    static const ChangeRule rule{-100.0,
                                 1000.0,
                                 "Precipitation cannot decrease by more than 100 percent!",
                                 "Precipitation increase must be in the range 0-1000 %",
                                 100.0,
                                 1000.0};
    return check_change(change, rule);
}

ChangeCheck check_co2_change(double change) {
    static const ChangeRule rule{-100.0,
                                 1000.0,
                                 "CO2 concentration cannot decrease by more than 100 percent!",
                                 "CO2 increase must be in the range 0-1000 %",
                                 100.0,
                                 1000.0};
    return check_change(change, rule);
}

int encode_change(double change) {
    return truncate_to_int(change * 10 + 10000.5, 10000);
}

double decode_change(int stored) {
    // In double, so that any stored integer decodes without overflow.
    return (static_cast<double>(stored) - 10000) * 0.1;
}

int encode_location(double degrees) {
    return truncate_to_int(degrees * 100 + 20000, 20000);
}

double decode_location(int stored) {
    return (static_cast<double>(stored) - 20000) * 0.01;
}

} // namespace skyfetch
