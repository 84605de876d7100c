#pragma once

// Keeps the program's values in the profile it shares with the model: on Windows that is
// the user's system profile, which outlives a test, so whatever a test stores there is
// put back as it was. Elsewhere the shared profile lies in the test's own settings folder.

#ifdef _WIN32
#include "putil/SystemProfile.h"
#include "settings/SettingsKeys.h"

#include <optional>
#include <string>
#include <windows.h>
#endif

namespace skyfetch::test {

#ifdef _WIN32
class KeptSharedProfile {
public:
    KeptSharedProfile() {
        for (Kept& kept : m_kept)
            kept.value = read_system_profile(settings::kSharedSection, kept.key);
    }
    ~KeptSharedProfile() {
        for (const Kept& kept : m_kept) {
            const std::string key = kept.key;
            if (kept.value)
                write_system_profile(settings::kSharedSection, key, *kept.value);
            else // a key that was missing goes again
                WriteProfileStringW(L"PHYTOMOD", std::wstring(key.begin(), key.end()).c_str(),
                                    nullptr);
        }
    }
    KeptSharedProfile(const KeptSharedProfile&) = delete;
    KeptSharedProfile& operator=(const KeptSharedProfile&) = delete;

private:
    struct Kept {
        const char* key;
        std::optional<std::string> value;
    };
    Kept m_kept[3] = {
        {settings::kLastDir, {}}, {settings::kLastFile, {}}, {settings::kHaveOutput, {}}};
};
#else
struct KeptSharedProfile {};
#endif

} // namespace skyfetch::test
