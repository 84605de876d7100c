#pragma once

#include "settings/Profile.h"

#include <string>

namespace skyfetch {

// The user's settings folder (putil/UserFolders.h): $XDG_CONFIG_HOME or ~/.config,
// %APPDATA% on Windows. Looked up on every call so that tests can point it elsewhere.
std::string config_home();

// The program's own settings: <config>/skyfetch/skyfetch.ini (Windows:
// %APPDATA%\Skyfetch\skyfetch.ini), section [SKYFETCH].
Profile application_profile();

// The profile shared with the model's other tools, section [PHYTOMOD]:
// <config>/phytomod/phytomod.ini, on Windows the user's system profile (win.ini).
Profile shared_profile();

} // namespace skyfetch
