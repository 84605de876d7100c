#pragma once

#include <optional>
#include <span>
#include <string>

namespace skyfetch {

// The arithmetic of the up-down (spin) controls: how far one step goes after the arrow
// has been held for a while, and where the position ends.

// After `seconds` of holding an arrow, each step moves by `increment`.
struct UpDownAccel {
    int seconds;
    int increment;
};

// The acceleration of a spin that was given none: 1, after 2 seconds 5, after 5
// seconds 20.
std::span<const UpDownAccel> DefaultUpDownAcceleration();

// The increment of the entry with the largest start not later than heldSeconds (the
// first entry before that; 1 for an empty table).
int AccelerationIncrement(std::span<const UpDownAccel> table, double heldSeconds);

// The value of a buddy text that is a plain whole number (optional sign and digits
// only, within the int range); nothing for any other text.
std::optional<int> BuddyInteger(const std::string& text);

// The position after a step of delta, held within [minimum, maximum]; the range may be
// given either way round.
int SteppedPosition(int position, int delta, int minimum, int maximum);

} // namespace skyfetch
