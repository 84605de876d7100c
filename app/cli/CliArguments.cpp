#include "app/cli/CliArguments.h"

#include "rules/LocationRules.h"
#include "rules/NumberText.h"
#include "driver/ParameterRules.h"
#include "putil/CNumbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <algorithm>
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
    static const std::set<std::string> names = {"--force", "--quiet", "--climatology", "--help",
                                                "--version"};
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

namespace {

// The length of the UTF-8 sequence at text[i] and its code point; 0 when the bytes there
// are not a valid sequence (a stray continuation byte, an overlong form, a surrogate).
std::size_t utf8_sequence(const std::string& text, std::size_t i, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// Characters a terminal takes as commands (C1 controls; U+009B is a CSI) or that turn
// the direction of the text around it, so that a name could look like another one.
bool is_hidden_control(char32_t code) {
    return (code >= 0x80 && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

} // namespace

std::string Printable(const std::string& text, std::size_t limit) {
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(std::min(text.size(), limit) + 8);
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char32_t code = byte;
        const std::size_t length = byte < 0x80 ? 1 : utf8_sequence(text, i, code);
        if (i + std::max<std::size_t>(length, 1) > limit) {
            shown += "...";
            break;
        }
        if (length == 0 || (length == 1 && (byte < 0x20 || byte == 0x7f))) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
            ++i;
        } else if (is_hidden_control(code)) {
            shown += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                shown += kHex[(code >> shift) & 15];
            i += length;
        } else {
            shown.append(text, i, length);
            i += length;
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
        const double parsed = c_strtod(text.c_str(), &end);
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
           "  skyfetch-cli --batch SITES.csv [--output-dir DIR] [--force] [--quiet]\n"
           "  skyfetch-cli --help | --version\n";
}

std::string HelpText() {
    // help2man makes the manual page from this text; the "Climate data:" line of --version
    // gets a section DATA of its own there (packaging/CliManPage.cmake).
    return "Usage: skyfetch-cli --lon LON --lat LAT [OPTION]...\n"
           "  or:  skyfetch-cli --climatology --lon LON --lat LAT\n"
           "  or:  skyfetch-cli --batch SITES.csv [--output-dir DIR] [--force] [--quiet]\n"
           "  or:  skyfetch-cli --help | --version\n"
           "skyfetch-cli writes environmental driver files for PHYTOMOD Education without a "
           "window.\n"
           "It looks up the 0.5-degree land cell that holds the point LON, LAT in the\n"
           "climate archive built into the program and writes a tab-delimited text file:\n"
           "nine header lines, then one row of monthly temperature, precipitation, sunshine\n"
           "and rain days per simulated year, initialisation (spin-up) years first.\n"
           "\n"
           "Options:\n"
           "  --lon LON            longitude of any point in the cell, decimal degrees,\n"
           "                       east positive, -180 to 180\n"
           "  --lat LAT            latitude, decimal degrees, north positive, -90 to 90\n"
           "  --spinup N           initialisation years, 0 to 10000 (default 1000)\n"
           "  --scenario N         scenario years, 0 to 10000 (default 100)\n"
           "  --temp-change C      change of temperature reached in the last scenario year,\n"
           "                       -30 to 30 degrees Celsius (default 0)\n"
           "  --precip-change P    change of precipitation, -100 to 1000 percent (default 0)\n"
           "  --co2-change P       change of atmospheric CO2, -100 to 1000 percent\n"
           "                       (default 0)\n"
           "  --output FILE        the driver file (default climate.txt, made unique in the\n"
           "                       current folder: climate0.txt to climate99.txt, never\n"
           "                       replacing a file); a symbolic link is followed to the\n"
           "                       file it names\n"
           "  --force              replace existing driver files (never a folder, pipe or\n"
           "                       device, and in a batch never through a symbolic link)\n"
           "  --climatology        print the cell's monthly means instead of writing a file\n"
           "  --batch SITES.csv    write one driver file for each row of SITES.csv\n"
           "  --output-dir DIR     folder for the files of a batch, made when missing\n"
           "                       (default: the current folder)\n"
           "  --quiet              no progress line while a batch runs (it is shown only\n"
           "                       when standard error is a terminal)\n"
           "  --help               print this help and exit\n"
           "  --version            print the version and the climate data, then exit\n"
           "An option takes its value as the next argument or after \"=\" (--lon=-0.5).\n"
           "Numbers are written with a decimal point in every locale.\n"
           "\n"
           "A batch file is CSV with the header name,lon,lat and optionally the columns\n"
           "spinup,scenario,temp_change,precip_change,co2_change; each row writes <name>.txt\n"
           "into the output folder. A bad row is reported with its line number and does not\n"
           "stop the others.\n"
           "\n"
           "Exit status:\n"
           "  0  done\n"
           "  2  bad input, or an existing file without --force\n"
           "  3  not a land cell\n"
           "  4  the file could not be written (an existing file is left as it was)\n"
           "  5  the driver files were written, but standard output failed\n"
           "A lost standard output (5) comes before every other status; otherwise a batch\n"
           "returns the highest status of its rows. Values are checked before the location\n"
           "is looked up, the output name after it.\n"
           "\n"
           "Examples:\n"
           "  Lund, Sweden, 500 initialisation years and 2.5 degrees warmer at the end:\n"
           "    $ skyfetch-cli --lon 13.25 --lat 55.75 --spinup 500 --temp-change 2.5 "
           "--output lund.txt\n"
           "  The monthly means of the cell around Manaus, Brazil:\n"
           "    $ skyfetch-cli --climatology --lon -60.0 --lat -3.1\n"
           "  One file per site of sites.csv, into the folder drivers:\n"
           "    $ skyfetch-cli --batch sites.csv --output-dir drivers\n"
           "\n"
           "Files:\n"
           "  FILE, DIR/<name>.txt\n"
           "                       the driver files; each is written to a temporary file\n"
           "                       beside it and renamed over the target only when complete\n"
           "  .skyfetch-*.tmp      temporary files: removed when the run ends, even by a\n"
           "                       signal; a run killed outright leaves them, and the next\n"
           "                       run writing into that folder removes them\n"
           "  SITES.csv            the batch file, read only\n"
           "skyfetch-cli reads no settings: the settings files of the desktop program\n"
           "skyfetch(1) are neither read nor written. The climate archive is built into the\n"
           "program; --version names its data.\n";
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
        parsed.showUsage = true;
        return parsed;
    };
    // A value out of its range: the text the window shows, without the usage lines.
    auto refuse = [&parsed](std::string text) {
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
            else if (option == "--quiet")
                a.quiet = true;
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
        allowed = {"--batch", "--output-dir", "--force", "--quiet"};
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
            return refuse(message);
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
        return refuse(rangeError);
    parsed.ok = true;
    return parsed;
}

} // namespace skyfetch
