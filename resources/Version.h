#pragma once

namespace skyfetch {

// The program's version text, shown as "Version <text>" in the window and written
// into the first line of every driver file.
inline constexpr const char* kVersionString = "2008-11-03";

} // namespace skyfetch
