#include "settings/ProfileLocations.h"

#include "putil/UserFolders.h"
#include "settings/SettingsKeys.h"
#include "settings/SystemProfileStore.h"

namespace skyfetch {

std::string config_home() {
    return user_settings_folder();
}

Profile application_profile() {
    return Profile(config_home() + "\\Skyfetch\\skyfetch.ini", settings::kApplicationSection);
}

// The model reads the last file and folder from the user's system profile.
Profile shared_profile() {
    return Profile(std::make_shared<SystemProfileStore>(), settings::kSharedSection);
}

} // namespace skyfetch
