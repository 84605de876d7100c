#pragma once

#include "driver/ParameterRules.h"

#include <cstddef>
#include <string>
#include <vector>

namespace skyfetch {

// Exit statuses of skyfetch-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;    // bad arguments, values out of range, name refused
inline constexpr int kExitNotLand = 3;     // the cell is not land or the archive is unusable
inline constexpr int kExitWriteFailed = 4; // the file could not be written
inline constexpr int kExitOutputLost = 5;  // the files were written, standard output failed

enum class CliMode { Generate, Climatology, Batch, Help, Version };

// The protocol and scenario of one driver file, with the first-run defaults.
struct RunParameters {
    int spinupYears = kDefaultSpinupYears;
    int scenarioYears = kDefaultScenarioYears;
    double tempChange = 0.0;   // degrees Celsius, signed
    double precipChange = 0.0; // percent, signed
    double co2Change = 0.0;    // percent, signed
};

struct CliArguments {
    CliMode mode = CliMode::Generate;
    double lon = 0.0; // signed decimal degrees, east and north positive
    double lat = 0.0;
    RunParameters parameters;
    bool haveOutput = false;
    std::string output;
    std::string outputDir;
    std::string batchFile;
    bool force = false;
    bool quiet = false; // no progress line during a batch
};

// Result of reading the command line: the arguments, or the text to print on standard
// error (always with exit status 2).
struct ParsedArguments {
    bool ok = false;
    CliArguments arguments;
    std::string error;
    // The usage lines follow the error: the command line itself is malformed, rather
    // than a value refused by its range.
    bool showUsage = false;
};

// Reads the arguments after the program name. Options take their value as the next
// argument or after "=" (--lon=-0.5). Numbers are decimal; "nan" and "inf" are refused
// with the range text of the value; locations and parameters are range checked (and
// refused, never corrected).
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// How much of a text given by the user a message quotes: longer texts end in "...".
inline constexpr std::size_t kQuotedTextLimit = 200;

// The text as a message may quote it: every control character (bytes below 32 and 127)
// and every byte that is not part of valid UTF-8 shown as \xNN, the C1 controls (U+0080
// to U+009F) and the bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E,
// U+2066 to U+2069) as \uNNNN, so that quoting what the user gave never sends raw control
// or escape sequences to the terminal, nor reverses the text around it. Only the first
// `limit` bytes of the text are shown, cut between characters, then "...".
std::string Printable(const std::string& text, std::size_t limit = kQuotedTextLimit);

// The usage lines printed after a bad argument.
std::string UsageText();

// The text of --help. Its layout follows the GNU conventions that help2man reads to make
// the skyfetch-cli(1) manual page: "Usage:" and "or:" lines, "Options:", "Examples:" and
// "Files:" headings, options indented by two spaces.
std::string HelpText();

// How a number argument reads: a finite decimal number, a non-finite one (which the
// range checks then refuse), or no number at all. value is set in the first two cases.
enum class NumberReading { Number, NonFinite, NotANumber };
NumberReading ReadNumber(const std::string& text, double& value);

// A whole decimal integer; values beyond 32 bits are set to the nearest 32-bit bound so
// that the range check refuses them. Returns false when the text is no integer.
bool ReadInteger(const std::string& text, int& value);

// The range text of a longitude (longitude true) or latitude; empty when in range.
std::string CheckLocationValue(bool longitude, double value);
// The first range text among the five parameters, in the order the dialog checks them;
// empty when all are in range.
std::string CheckRunParameters(const RunParameters& parameters);

} // namespace skyfetch
