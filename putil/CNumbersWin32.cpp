#include "putil/CNumbers.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace skyfetch {
namespace {

bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

// The system's C library reads neither "inf" and "nan" nor hexadecimal numbers ("0x10"),
// which the C rules and the POSIX build read; std::from_chars reads them all, whatever the
// locale, but not the blanks, the '+' and the "0x" strtod takes in front of them.
double c_strtod(const char* text, char** end) {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    const char* at = text;
    while (is_c_space(*at))
        ++at;
    const bool negative = *at == '-';
    if (*at == '+' || *at == '-')
        ++at;
    const bool hex = at[0] == '0' && (at[1] == 'x' || at[1] == 'X');
    const char* digits = hex ? at + 2 : at;
    double value = 0.0;
    const auto [stop, error] =
        std::from_chars(digits, digits + std::strlen(digits), value,
                        hex ? std::chars_format::hex : std::chars_format::general);
    // A second sign ("--5") ends the number before it began.
    if (stop == digits || *digits == '-') {
        // "0x" without digits is the number 0 followed by "x".
        *end = const_cast<char*>(hex ? at + 1 : text);
        return hex && negative ? -0.0 : 0.0;
    }
    *end = const_cast<char*>(stop);
    if (error == std::errc::result_out_of_range) {
        errno = ERANGE;
        if (!hex && locale)
            return _strtod_l(text, nullptr, locale); // infinity or 0, as strtod gives them
        // Beyond the range either way: a negative binary exponent made it too small.
        const char* exponent = static_cast<const char*>(std::memchr(digits, 'p', stop - digits));
        if (!exponent)
            exponent = static_cast<const char*>(std::memchr(digits, 'P', stop - digits));
        value = exponent && exponent[1] == '-' ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

} // namespace skyfetch
