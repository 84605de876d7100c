#include "settings/ProfileLocations.h"

#include "putil/UserFolders.h"
#include "settings/SettingsKeys.h"

namespace skyfetch {

std::string config_home() {
    return user_settings_folder();
}

Profile application_profile() {
    return Profile(config_home() + "/skyfetch/skyfetch.ini", settings::kApplicationSection);
}

Profile shared_profile() {
    return Profile(config_home() + "/phytomod/phytomod.ini", settings::kSharedSection);
}

} // namespace skyfetch
