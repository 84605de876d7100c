#pragma once

#include "putil/BlockString.h"

#include <ctime>

namespace skyfetch {

// Replaces the text by the current local date and time in the C library's 24-character
// ctime layout ("Wed Jun  3 09:05:07 2009"), without ctime's newline.
void timestamp(BlockString& text);
// The same for a given calendar time. A time the C library cannot express gives "".
void timestamp(BlockString& text, std::time_t when);

} // namespace skyfetch
