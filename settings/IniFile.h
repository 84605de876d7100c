#pragma once

#include "settings/ProfileStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace skyfetch {

// One INI text file, read and written line by line so that everything we do not touch
// (other programs' sections and keys, comments, blank lines, the order of lines) stays as
// it was. Every call goes to the file: nothing is cached between calls, so a value
// written by another program in the meantime is seen and kept.
//
// Section and key names compare without regard to case, as profile files always have.
// Values are taken verbatim: everything after the first '=' up to the end of the line
// (a carriage return of a CRLF line excepted). No quoting, escaping or list splitting.
class IniFile final : public ProfileStore {
public:
    explicit IniFile(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const override { return m_path; }

    // The value of key in section, or nothing when the file, the section or the key is
    // missing. The first occurrence wins when a file repeats a section or a key.
    std::optional<std::string> value(std::string_view section,
                                     std::string_view key) const override;

    // Stores the value: replaces the key's line in place, or adds the key at the end of
    // its section, or adds the section at the end of the file. Creates the file and its
    // folders when missing. The new content replaces the old file in one rename, so a
    // failed write leaves the old file whole. Returns false when the file cannot be
    // written or the value holds a line break (it could not be read back as one value).
    bool set_value(std::string_view section, std::string_view key,
                   std::string_view value) const override;

private:
    std::string m_path;
};

} // namespace skyfetch
