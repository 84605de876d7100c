#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the fuzz targets share: the check that stops a run when an invariant breaks, the
// split of an input into strings, and one scratch folder per process.

namespace skyfetch::fuzz {

[[noreturn]] void invariant_failed(const char* condition, const char* file, int line);

// Stops the run with the condition's text when it does not hold; libFuzzer then saves the
// input that broke it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::skyfetch::fuzz::invariant_failed(#condition, __FILE__, __LINE__);                    \
    } while (0)

// The input cut at every NUL byte: "a\0b" gives "a" and "b", "" gives nothing at all.
std::vector<std::string> split_on_nul(const std::uint8_t* data, std::size_t size);

// True when the text holds a byte below 32 other than '\n', 127, a C1 control or a
// bidirectional control in UTF-8: a message holding one would send raw control or escape
// sequences to the terminal, or turn the text around it.
bool has_raw_control(const std::string& text);

// A folder made for this process under $TMPDIR (else /tmp), removed with what it holds
// when the process ends normally.
const std::string& scratch_folder();

// The whole content of a file; false when it cannot be read.
bool read_whole_file(const std::string& path, std::string& content);
// Creates or truncates the file and writes the bytes; stops the run when that fails,
// since every later check would be meaningless.
void write_whole_file(const std::string& path, const std::string& content);

// The text's lines as a text reader sees them: cut at '\n', one '\r' before it dropped;
// a last line without '\n' counts, the empty rest after a final '\n' does not.
std::vector<std::string> lines_of(const std::string& text);

// The names in a folder, "." and ".." left out, sorted.
std::vector<std::string> folder_entries(const std::string& folder);

} // namespace skyfetch::fuzz
