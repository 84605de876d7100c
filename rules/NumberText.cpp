#include "rules/NumberText.h"

#include "putil/CNumbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace skyfetch {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// True when the text has the shape of a decimal floating-point number.
bool has_decimal_form(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && is_digit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && is_digit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && is_digit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

std::string FormatG(double value) {
    // printf's "%g" in the C locale, whatever locale a toolkit has set.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

bool ParseDecimal(const std::string& text, double& value) {
    if (!has_decimal_form(text))
        return false;
    char* end = nullptr;
    const double parsed = c_strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

std::string DecimalCommaAsPoint(std::string text) {
    for (char& c : text)
        if (c == ',')
            c = '.';
    return text;
}

} // namespace skyfetch
