#pragma once

#include "settings/IniFile.h"

#include <memory>
#include <string>
#include <string_view>

namespace skyfetch {

// One section of one settings file, with the four operations the program uses. Each call
// reads or writes the file at once. Write failures are not reported to the user: a
// settings file that cannot be written is ignored, as the program's settings are only a
// convenience; the functions still say whether the write reached the file.
class Profile {
public:
    // A section of the INI file at path.
    Profile(std::string path, std::string section)
        : m_store(std::make_shared<IniFile>(std::move(path))), m_section(std::move(section)) {}
    // A section of another store.
    Profile(std::shared_ptr<const ProfileStore> store, std::string section)
        : m_store(std::move(store)), m_section(std::move(section)) {}

    // The stored decimal text as an integer, or defaultValue when the key or the file is
    // missing. A present value is read as far as it is a number ("12abc" gives 12); one
    // that does not start with a number gives 0.
    int read_int(std::string_view key, int defaultValue) const;
    bool write_int(std::string_view key, int value) const;

    // The stored text exactly as written, or defaultValue when missing.
    std::string read_string(std::string_view key, std::string_view defaultValue) const;
    bool write_string(std::string_view key, std::string_view text) const;

    const std::string& path() const { return m_store->path(); }
    const std::string& section() const { return m_section; }

private:
    std::shared_ptr<const ProfileStore> m_store;
    std::string m_section;
};

// The integer reading of a stored value: blanks, an optional sign and the decimal digits
// that follow; whatever comes after them is ignored. No digits give 0; values beyond the
// 32-bit range are held at its ends.
int parse_profile_int(std::string_view text);

} // namespace skyfetch
