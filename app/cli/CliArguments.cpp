#include "app/cli/CliArguments.h"

#include "rules/LocationRules.h"
#include "rules/NumberText.h"
#include "driver/ParameterRules.h"
#include "putil/FileSystem.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <set>

namespace skyfetch {

namespace {

// The options that take a value.
const std::set<std::string>& value_options() {
    static const std::set<std::string> names = {
        "--lon",           "--lat",        "--spinup", "--scenario",   "--temp-change",
        "--precip-change", "--co2-change", "--output", "--output-dir", "--batch"};
    return names;
}

const std::set<std::string>& flag_options() {
    static const std::set<std::string> names = {"--force", "--climatology", "--help", "--version"};
    return names;
}

std::string bad_value(const std::string& option, const std::string& text, const char* what) {
    return "skyfetch-cli: " + option + " needs " + what + ", not \"" + Printable(text) + "\"";
}

// Reads a decimal option; a non-finite value is left for the range check to refuse.
bool read_decimal_option(const std::string& option, const std::string& text, double& value,
                         std::string& error) {
    if (ReadNumber(text, value) == NumberReading::NotANumber) {
        error = bad_value(option, text, "a number");
        return false;
    }
    return true;
}

bool read_integer_option(const std::string& option, const std::string& text, int& value,
                         std::string& error) {
    if (!ReadInteger(text, value)) {
        error = bad_value(option, text, "a whole number");
        return false;
    }
    return true;
}

} // namespace

std::string Printable(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

NumberReading ReadNumber(const std::string& text, double& value) {
    if (ParseDecimal(text, value))
        return NumberReading::Number;
    // What the C library would read as infinity or NaN ("inf", "-nan", "1e999"): a
    // value, but never an acceptable one.
    if (!text.empty() && text[0] != ' ' && text[0] != '\t') {
        char* end = nullptr;
        const double parsed = strtod_l(text.c_str(), &end, c_locale());
        if (end == text.c_str() + text.size() && !std::isfinite(parsed)) {
            value = parsed;
            return NumberReading::NonFinite;
        }
    }
    return NumberReading::NotANumber;
}

bool ReadInteger(const std::string& text, int& value) {
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return false;
    }
    if (first == last || (*first == '-' && first + 1 == last))
        return false;
    long long parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (end != last)
        return false;
    if (error == std::errc::result_out_of_range)
        parsed = *first == '-' ? LLONG_MIN : LLONG_MAX;
    else if (error != std::errc())
        return false;
    value = parsed < INT_MIN ? INT_MIN : parsed > INT_MAX ? INT_MAX : static_cast<int>(parsed);
    return true;
}

std::string CheckLocationValue(bool longitude, double value) {
    const Axis axis = longitude ? Axis::Longitude : Axis::Latitude;
    const double limit = AxisLimit(axis);
    if (value >= -limit && value <= limit)
        return {};
    return RangeMessage(axis);
}

std::string CheckRunParameters(const RunParameters& p) {
    const YearsCheck spinup = check_spinup_years(p.spinupYears);
    if (!spinup.ok)
        return spinup.message;
    const YearsCheck scenario = check_scenario_years(p.scenarioYears);
    if (!scenario.ok)
        return scenario.message;
    for (const ChangeCheck& change :
         {check_temperature_change(p.tempChange), check_precipitation_change(p.precipChange),
          check_co2_change(p.co2Change)}) {
        if (!change.ok)
            return change.message;
    }
    return {};
}

std::string UsageText() {
    return "usage:\n"
           "  skyfetch-cli --lon LON --lat LAT [--spinup N] [--scenario N] [--temp-change C]\n"
           "               [--precip-change P] [--co2-change P] [--output FILE] [--force]\n"
           "  skyfetch-cli --climatology --lon LON --lat LAT\n"
           "  skyfetch-cli --batch SITES.csv [--output-dir DIR] [--force]\n"
           "  skyfetch-cli --help | --version\n";
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    CliArguments& a = parsed.arguments;
    std::set<std::string> seen;
    std::string lonText;
    std::string latText;
    std::string spinupText;
    std::string scenarioText;
    std::string tempText;
    std::string precipText;
    std::string co2Text;

    auto fail = [&parsed](std::string text) {
        parsed.ok = false;
        parsed.error = std::move(text);
        return parsed;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = option.find('=');
        if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
            inlineValue = true;
        }
        const bool takesValue = value_options().count(option) != 0;
        if (!takesValue && flag_options().count(option) == 0) {
            if (option.rfind("-", 0) == 0 && option.size() > 1)
                return fail("skyfetch-cli: unknown option " + Printable(option));
            return fail("skyfetch-cli: unexpected argument \"" + Printable(option) + "\"");
        }
        if (!seen.insert(option).second)
            return fail("skyfetch-cli: " + option + " given more than once");
        if (!takesValue) {
            if (inlineValue)
                return fail("skyfetch-cli: " + option + " takes no value");
            if (option == "--force")
                a.force = true;
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size())
                return fail("skyfetch-cli: " + option + " needs a value");
            value = args[++i];
        }
        if (option == "--lon")
            lonText = value;
        else if (option == "--lat")
            latText = value;
        else if (option == "--spinup")
            spinupText = value;
        else if (option == "--scenario")
            scenarioText = value;
        else if (option == "--temp-change")
            tempText = value;
        else if (option == "--precip-change")
            precipText = value;
        else if (option == "--co2-change")
            co2Text = value;
        else if (option == "--output") {
            a.haveOutput = true;
            a.output = value;
        } else if (option == "--output-dir")
            a.outputDir = value;
        else if (option == "--batch")
            a.batchFile = value;
    }

    auto has = [&seen](const char* option) { return seen.count(option) != 0; };
    if (has("--help")) {
        a.mode = CliMode::Help;
        parsed.ok = true;
        return parsed;
    }
    if (has("--version")) {
        a.mode = CliMode::Version;
        parsed.ok = true;
        return parsed;
    }

    // Which options each form accepts besides its own.
    std::set<std::string> allowed;
    if (has("--batch")) {
        a.mode = CliMode::Batch;
        allowed = {"--batch", "--output-dir", "--force"};
    } else if (has("--climatology")) {
        a.mode = CliMode::Climatology;
        allowed = {"--climatology", "--lon", "--lat"};
    } else {
        a.mode = CliMode::Generate;
        allowed = {"--lon",           "--lat",        "--spinup", "--scenario", "--temp-change",
                   "--precip-change", "--co2-change", "--output", "--force"};
    }
    for (const std::string& option : seen) {
        if (allowed.count(option) == 0)
            return fail("skyfetch-cli: " + option + " cannot be used here");
    }
    if (a.mode == CliMode::Batch) {
        if (a.batchFile.empty())
            return fail("skyfetch-cli: --batch needs a file name");
        parsed.ok = true;
        return parsed;
    }

    if (!has("--lon") || !has("--lat"))
        return fail("skyfetch-cli: --lon and --lat are required");
    std::string error;
    if (!read_decimal_option("--lon", lonText, a.lon, error) ||
        !read_decimal_option("--lat", latText, a.lat, error))
        return fail(error);
    for (const std::string& message :
         {CheckLocationValue(true, a.lon), CheckLocationValue(false, a.lat)}) {
        if (!message.empty())
            return fail(message);
    }
    RunParameters& p = a.parameters;
    if ((has("--spinup") && !read_integer_option("--spinup", spinupText, p.spinupYears, error)) ||
        (has("--scenario") &&
         !read_integer_option("--scenario", scenarioText, p.scenarioYears, error)) ||
        (has("--temp-change") &&
         !read_decimal_option("--temp-change", tempText, p.tempChange, error)) ||
        (has("--precip-change") &&
         !read_decimal_option("--precip-change", precipText, p.precipChange, error)) ||
        (has("--co2-change") && !read_decimal_option("--co2-change", co2Text, p.co2Change, error)))
        return fail(error);
    const std::string rangeError = CheckRunParameters(p);
    if (!rangeError.empty())
        return fail(rangeError);
    parsed.ok = true;
    return parsed;
}

} // namespace skyfetch
