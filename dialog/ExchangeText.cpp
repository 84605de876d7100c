#include "dialog/ExchangeText.h"

#include "rules/NumberText.h"

#include <charconv>
#include <climits>

namespace skyfetch {
namespace {

std::string trim_blanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string MaxCharsMessage(int limit) {
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

bool ParseExchangeInt(const std::string& text, int& value) {
    std::string t = trim_blanks(text);
    // from_chars takes no '+'; a sign must be followed by a digit.
    if (!t.empty() && (t[0] == '+' || t[0] == '-') && (t.size() < 2 || t[1] < '0' || t[1] > '9'))
        return false;
    if (!t.empty() && t[0] == '+')
        t.erase(0, 1);
    if (t.empty())
        return false;
    long long parsed = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), parsed);
    if (error != std::errc() || end != t.data() + t.size() || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = int(parsed);
    return true;
}

bool ParseExchangeDouble(const std::string& text, double& value) {
    return ParseDecimal(trim_blanks(text), value);
}

std::string FormatExchangeInt(int value) {
    return std::to_string(value);
}

std::string FormatExchangeDouble(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

} // namespace skyfetch
