#pragma once

#include <string>

namespace skyfetch {

// The program's version text, shown as "Version <text>" in the window and written
// into the first line of every driver file.
inline constexpr const char* kVersionString = "2008-11-03";

// "Version " and the version text, as the window and the driver files show it.
inline std::string VersionText() {
    return std::string("Version ") + kVersionString;
}

} // namespace skyfetch
