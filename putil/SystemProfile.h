#pragma once

#include <optional>
#include <string>

namespace skyfetch {

// Windows only: the user's system profile (win.ini), read and written through
// GetProfileStringW and WriteProfileStringW, where programs of the same family share
// small values. The value of key in section, or nothing when it is missing.
std::optional<std::string> read_system_profile(const std::string& section,
                                               const std::string& key);
// The value reads back exactly as given, blanks and quotes around it included. False when
// the profile cannot be written (a standard user may lack the right) or cannot hold the
// value (a character outside the system's code page, in an ANSI win.ini); the key then
// keeps what it had.
bool write_system_profile(const std::string& section, const std::string& key,
                          const std::string& value);

} // namespace skyfetch
