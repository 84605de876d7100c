#pragma once

#include <cstddef>

namespace skyfetch {

// Number formatting for the driver file. Each function writes exactly the characters
// that the C library's printf writes for the named conversion in the C locale (so "13.25",
// never "13,25") and returns the end of what it wrote; no terminator is added. The output
// buffer must hold kNumberTextMax bytes.
//
// The fixed-point forms are the hot path of the writer (up to a million numbers per
// file), so the usual magnitudes are rounded here from the exact binary value, ties to
// even as printf does; very large or non-finite values go through std::to_chars, which is
// exact as well.
inline constexpr std::size_t kNumberTextMax = 330;

char* format_fixed1(char* out, double value);  // "%0.1f"
char* format_fixed0(char* out, double value);  // "%0.0f"
char* format_int(char* out, int value);        // "%d"
char* format_general(char* out, double value); // "%g"

} // namespace skyfetch
