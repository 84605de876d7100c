#pragma once

#include "settings/Profile.h"

#include <string>

namespace skyfetch {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config. Looked up on every call so that tests can point it elsewhere.
std::string config_home();

// The program's own settings: <config>/skyfetch/skyfetch.ini, section [SKYFETCH].
Profile application_profile();

// The profile shared with the model's other tools: <config>/phytomod/phytomod.ini,
// section [PHYTOMOD].
Profile shared_profile();

} // namespace skyfetch
