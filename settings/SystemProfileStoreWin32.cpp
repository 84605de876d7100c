#include "settings/SystemProfileStore.h"

#include "putil/SystemProfile.h"

namespace skyfetch {

std::optional<std::string> SystemProfileStore::value(std::string_view section,
                                                     std::string_view key) const {
    return read_system_profile(std::string(section), std::string(key));
}

bool SystemProfileStore::set_value(std::string_view section, std::string_view key,
                                   std::string_view value) const {
    // A value with a line break could not be read back as one value.
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return false;
    return write_system_profile(std::string(section), std::string(key), std::string(value));
}

const std::string& SystemProfileStore::path() const {
    static const std::string kName = "win.ini";
    return kName;
}

} // namespace skyfetch
