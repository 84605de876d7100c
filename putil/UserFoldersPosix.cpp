#include "putil/UserFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace skyfetch {

std::string user_settings_folder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0])
        home = env;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    if (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home + "/.config";
}

} // namespace skyfetch
