#pragma once

#include "settings/ProfileStore.h"

namespace skyfetch {

// Windows only: the user's system profile, where the model reads what we store for it.
class SystemProfileStore final : public ProfileStore {
public:
    std::optional<std::string> value(std::string_view section,
                                     std::string_view key) const override;
    bool set_value(std::string_view section, std::string_view key,
                   std::string_view value) const override;
    const std::string& path() const override;
};

} // namespace skyfetch
