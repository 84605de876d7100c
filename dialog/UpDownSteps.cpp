#include "dialog/UpDownSteps.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace skyfetch {

std::span<const UpDownAccel> DefaultUpDownAcceleration() {
    static constexpr std::array<UpDownAccel, 3> table{{{0, 1}, {2, 5}, {5, 20}}};
    return table;
}

int AccelerationIncrement(std::span<const UpDownAccel> table, double heldSeconds) {
    if (table.empty())
        return 1;
    int increment = table.front().increment;
    for (const UpDownAccel& entry : table)
        if (entry.seconds <= heldSeconds)
            increment = entry.increment;
    return increment;
}

std::optional<int> BuddyInteger(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return std::nullopt;
    }
    if (first == last || (*first == '-' && first + 1 == last))
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

int SteppedPosition(int position, int delta, int minimum, int maximum) {
    const long long low = std::min(minimum, maximum);
    const long long high = std::max(minimum, maximum);
    return int(std::clamp<long long>(static_cast<long long>(position) + delta, low, high));
}

} // namespace skyfetch
