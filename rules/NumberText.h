#pragma once

#include <string>

namespace skyfetch {

// Numbers as the user sees and types them, always with the C numeric rules ("13.25",
// never "13,25") whatever locale the process runs under.

// The text printf's "%g" gives for the value.
std::string FormatG(double value);

// Reads a whole text as a decimal number: optional sign, digits with an optional point
// and fraction (at least one digit in all), optional exponent. Returns false for
// anything else, including texts the C library would also take ("nan", "inf",
// "0x10", a leading blank) and values too large to be finite; value is then unchanged.
bool ParseDecimal(const std::string& text, double& value);

// A number typed where the user's locale writes a decimal comma ("13,75") as the program
// reads and shows it ("13.75"): every comma becomes a point. A text with more than one
// separator stays unreadable and is refused as before.
std::string DecimalCommaAsPoint(std::string text);

} // namespace skyfetch
