#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skyfetch {

// Where a profile keeps its values: an INI file of our own, or (on Windows) the user's
// system profile. Section and key names compare without regard to case.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The value of key in section, or nothing when it is missing.
    virtual std::optional<std::string> value(std::string_view section,
                                             std::string_view key) const = 0;
    // Stores the value; false when it did not reach the store.
    virtual bool set_value(std::string_view section, std::string_view key,
                           std::string_view value) const = 0;
    // Where it is, for messages and tests: a file's path.
    virtual const std::string& path() const = 0;
};

} // namespace skyfetch
