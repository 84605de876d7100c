#include "driver/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace skyfetch {
namespace {

// Below this magnitude the scaled value and its rounding error are held exactly in two
// doubles and the rounded integer fits in 64 bits.
constexpr double kFastLimit = 1e14;

char* write_digits(char* out, std::uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (n)
        *out++ = digits[--n];
    return out;
}

// Rounds |value| * 10^decimals (decimals 0 or 1) to the nearest integer, ties to even,
// judged on the exact product rather than on its rounded double.
std::uint64_t scaled_round(double magnitude, int decimals) {
    double hi = magnitude;
    double lo = 0.0;
    if (decimals == 1) {
        // 10x = 8x + 2x: both parts are exact, and the sum's rounding error is recovered
        // exactly (Fast2Sum, since 8x >= 2x).
        const double eight = magnitude * 8.0;
        const double two = magnitude * 2.0;
        hi = eight + two;
        lo = two - (hi - eight);
    }
    const double whole = std::floor(hi);
    const double fraction = hi - whole; // exact below 2^52
    std::uint64_t rounded = static_cast<std::uint64_t>(whole);
    // Rounding is monotonic, so hi lies on the same side of n + 0.5 as the exact
    // product unless hi is exactly n + 0.5; then lo decides, and only lo == 0 is a tie.
    if (fraction > 0.5 || (fraction == 0.5 && (lo > 0.0 || (lo == 0.0 && (rounded & 1)))))
        ++rounded;
    return rounded;
}

char* format_fixed(char* out, double value, int decimals) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < kFastLimit))
        return std::to_chars(out, out + kNumberTextMax, value, std::chars_format::fixed, decimals)
            .ptr;
    const std::uint64_t rounded = scaled_round(magnitude, decimals);
    // printf keeps the sign of a negative value that rounds to zero ("-0.0").
    if (std::signbit(value))
        *out++ = '-';
    if (decimals == 0)
        return write_digits(out, rounded);
    out = write_digits(out, rounded / 10);
    *out++ = '.';
    *out++ = static_cast<char>('0' + rounded % 10);
    return out;
}

} // namespace

char* format_fixed1(char* out, double value) {
    return format_fixed(out, value, 1);
}

char* format_fixed0(char* out, double value) {
    return format_fixed(out, value, 0);
}

char* format_int(char* out, int value) {
    return std::to_chars(out, out + kNumberTextMax, value).ptr;
}

char* format_general(char* out, double value) {
    return std::to_chars(out, out + kNumberTextMax, value, std::chars_format::general, 6).ptr;
}

} // namespace skyfetch
