#pragma once

#include <string>

namespace skyfetch {

// How the dialog's data exchange turns member values into edit texts and back. Numbers
// follow the C rules ("13.25"), whatever the locale.

inline constexpr const char* kEnterIntegerMessage = "Please enter an integer.";
inline constexpr const char* kEnterNumberMessage = "Please enter a number.";
// "Please enter no more than 7 characters."
std::string MaxCharsMessage(int limit);

// A whole text as a 32-bit integer: blanks, an optional sign, decimal digits, blanks.
// Anything else, an empty text or a value outside the 32-bit range is refused and value
// is left unchanged.
bool ParseExchangeInt(const std::string& text, int& value);

// A whole text as a finite decimal number, blanks allowed around it. "nan", "inf" and
// values too large to be finite are not numbers; value is then left unchanged.
bool ParseExchangeDouble(const std::string& text, double& value);

std::string FormatExchangeInt(int value);
// 15 significant digits in the shortest form, as printf's "%.15g".
std::string FormatExchangeDouble(double value);

} // namespace skyfetch
