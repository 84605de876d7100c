// ParseArguments on an argument vector cut from the input at its NUL bytes.
//
// An accepted command line must describe a run the tool can do: a finite location on the
// globe, years and changes within the ranges --help promises, and a mode whose fields
// agree with the options given. A refused one must say why, and never echo a raw control
// character. The number readers and Printable are checked on every argument as well.

#include "FuzzSupport.h"

#include "app/cli/CliArguments.h"
#include "driver/ParameterRules.h"

#include <algorithm>
#include <cmath>

using namespace skyfetch;

namespace {

using Args = std::vector<std::string>;

bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

bool has_argument(const Args& args, const std::string& text) {
    return std::find(args.begin(), args.end(), text) != args.end();
}

// The value came from the command line: as the argument after the option, or after "=".
bool value_given(const Args& args, const std::string& option, const std::string& value) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == option + "=" + value)
            return true;
        if (args[i] == option && i + 1 < args.size() && args[i + 1] == value)
            return true;
    }
    return false;
}

// Some argument is the option, alone or with a value after "=".
bool option_given(const Args& args, const std::string& option) {
    return std::any_of(args.begin(), args.end(), [&](const std::string& arg) {
        return arg == option || arg.rfind(option + "=", 0) == 0;
    });
}

bool default_parameters(const RunParameters& p) {
    const RunParameters fresh;
    return p.spinupYears == fresh.spinupYears && p.scenarioYears == fresh.scenarioYears &&
           p.tempChange == 0.0 && p.precipChange == 0.0 && p.co2Change == 0.0;
}

// A location was given and lies on the globe.
void check_location(const Args& args, const CliArguments& a) {
    FUZZ_CHECK(option_given(args, "--lon") && option_given(args, "--lat"));
    FUZZ_CHECK(within(a.lon, -180.0, 180.0));
    FUZZ_CHECK(within(a.lat, -90.0, 90.0));
}

// The ranges --help gives for the protocol and the scenario.
void check_parameters(const RunParameters& p) {
    FUZZ_CHECK(p.spinupYears >= 0 && p.spinupYears <= 10000);
    FUZZ_CHECK(p.scenarioYears >= 0 && p.scenarioYears <= 10000);
    FUZZ_CHECK(within(p.tempChange, -30.0, 30.0));
    FUZZ_CHECK(within(p.precipChange, -100.0, 1000.0));
    FUZZ_CHECK(within(p.co2Change, -100.0, 1000.0));
}

void check_accepted(const Args& args, const ParsedArguments& parsed) {
    FUZZ_CHECK(parsed.error.empty());
    const CliArguments& a = parsed.arguments;
    FUZZ_CHECK(!a.haveOutput || value_given(args, "--output", a.output));
    FUZZ_CHECK(a.haveOutput || a.output.empty());
    FUZZ_CHECK(a.outputDir.empty() || value_given(args, "--output-dir", a.outputDir));
    FUZZ_CHECK(a.batchFile.empty() || value_given(args, "--batch", a.batchFile));
    FUZZ_CHECK(!a.force || has_argument(args, "--force"));
    switch (a.mode) {
    case CliMode::Help:
        FUZZ_CHECK(has_argument(args, "--help"));
        break;
    case CliMode::Version:
        FUZZ_CHECK(has_argument(args, "--version"));
        break;
    case CliMode::Batch:
        // A batch takes its locations and parameters from the file, not the command line.
        FUZZ_CHECK(!a.batchFile.empty());
        FUZZ_CHECK(!a.haveOutput);
        FUZZ_CHECK(a.lon == 0.0 && a.lat == 0.0);
        FUZZ_CHECK(default_parameters(a.parameters));
        break;
    case CliMode::Climatology:
        // Prints the cell's means: nothing is written, so nothing about a file applies.
        FUZZ_CHECK(has_argument(args, "--climatology"));
        check_location(args, a);
        FUZZ_CHECK(!a.haveOutput && !a.force && a.outputDir.empty() && a.batchFile.empty());
        FUZZ_CHECK(default_parameters(a.parameters));
        break;
    case CliMode::Generate:
        check_location(args, a);
        check_parameters(a.parameters);
        FUZZ_CHECK(a.outputDir.empty() && a.batchFile.empty());
        break;
    default:
        fuzz::invariant_failed("a mode outside CliMode", __FILE__, __LINE__);
    }
}

// The helpers the parser is built on, on any text.
void check_readers(const std::string& text) {
    double value = 0.0;
    switch (ReadNumber(text, value)) {
    case NumberReading::Number:
        FUZZ_CHECK(std::isfinite(value));
        break;
    case NumberReading::NonFinite:
        FUZZ_CHECK(!std::isfinite(value));
        break;
    case NumberReading::NotANumber:
        break;
    }
    int whole = 0;
    if (ReadInteger(text, whole)) {
        // A whole number reads the same as a decimal one, within the 32-bit bounds the
        // integer reader holds it to.
        double decimal = 0.0;
        if (ReadNumber(text, decimal) == NumberReading::Number && std::fabs(decimal) < 2e9)
            FUZZ_CHECK(decimal == whole);
    }

    // Printable never passes a control character on, keeps plain text as it is, and cuts
    // what is too long.
    const std::string shown = Printable(text);
    FUZZ_CHECK(!fuzz::has_raw_control(shown) && shown.find('\n') == std::string::npos);
    FUZZ_CHECK(shown.size() <= 6 * kQuotedTextLimit + 3);
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f;
    });
    if (plain && text.size() <= kQuotedTextLimit)
        FUZZ_CHECK(shown == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Args args = fuzz::split_on_nul(data, size);
    const ParsedArguments parsed = ParseArguments(args);
    if (parsed.ok) {
        check_accepted(args, parsed);
    } else {
        FUZZ_CHECK(!parsed.error.empty());
        FUZZ_CHECK(!fuzz::has_raw_control(parsed.error));
    }
    for (const std::string& arg : args)
        check_readers(arg);
    return 0;
}
