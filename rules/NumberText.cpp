#include "rules/NumberText.h"

#include "putil/FileSystem.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

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
    char buffer[64];
    const locale_t previous = uselocale(c_locale());
    std::snprintf(buffer, sizeof buffer, "%g", value);
    uselocale(previous);
    return buffer;
}

bool ParseDecimal(const std::string& text, double& value) {
    if (!has_decimal_form(text))
        return false;
    char* end = nullptr;
    const double parsed = strtod_l(text.c_str(), &end, c_locale());
    if (end != text.c_str() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

} // namespace skyfetch
