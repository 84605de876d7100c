#include "putil/SystemProfile.h"

#include "putil/Win32Support.h"

#include <vector>

namespace skyfetch {

std::optional<std::string> read_system_profile(const std::string& section,
                                               const std::string& key) {
    // A default no value can hold tells a missing key from an empty one.
    static const wchar_t kMissing[] = L"\x01\x02missing\x02\x01";
    const std::wstring wideSection = win32::wide(section);
    const std::wstring wideKey = win32::wide(key);
    std::vector<wchar_t> buffer(1024);
    for (;;) {
        const DWORD length =
            GetProfileStringW(wideSection.c_str(), wideKey.c_str(), kMissing, buffer.data(),
                              static_cast<DWORD>(buffer.size()));
        // A value that filled the buffer may have been cut: ask again with more room.
        if (length + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
            const std::wstring value(buffer.data(), length);
            if (value == kMissing)
                return std::nullopt;
            return win32::utf8(value);
        }
        buffer.resize(buffer.size() * 4);
    }
}

namespace {

bool is_blank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The profile trims the blanks around a value and takes away one pair of quotes around
// it when read: such a value is stored inside a pair of quotes of its own.
std::wstring stored_form(const std::string& value) {
    const std::wstring text = win32::wide(value);
    const bool quoted =
        text.size() >= 2 && (text[0] == L'"' || text[0] == L'\'') && text.back() == text[0];
    if (!text.empty() && (is_blank(text[0]) || is_blank(text.back()) || quoted))
        return L"\"" + text + L"\"";
    return text;
}

bool write_stored(const std::string& section, const std::string& key,
                  const std::optional<std::string>& value) {
    return WriteProfileStringW(win32::wide(section).c_str(), win32::wide(key).c_str(),
                               value ? stored_form(*value).c_str() : nullptr) != 0;
}

} // namespace

bool write_system_profile(const std::string& section, const std::string& key,
                          const std::string& value) {
    const std::optional<std::string> before = read_system_profile(section, key);
    if (!write_stored(section, key, value))
        return false;
    if (read_system_profile(section, key) == value)
        return true;
    // The profile could not hold the value (a character outside the system's code page in
    // an ANSI win.ini): rather than a changed value, the one before stays.
    write_stored(section, key, before);
    return false;
}

} // namespace skyfetch
