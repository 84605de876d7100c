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

bool write_system_profile(const std::string& section, const std::string& key,
                          const std::string& value) {
    return WriteProfileStringW(win32::wide(section).c_str(), win32::wide(key).c_str(),
                               win32::wide(value).c_str()) != 0;
}

} // namespace skyfetch
