#pragma once

#include <string>

namespace skyfetch {

// Where the user's settings live: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config (POSIX); the roaming application data folder, %APPDATA% (Windows). Looked up
// on every call, so that tests can point it elsewhere.
std::string user_settings_folder();

} // namespace skyfetch
