#pragma once

// A fresh settings folder for each test of the settings store, on every platform.

#include "settings/Profile.h"
#include "settings/ProfileLocations.h"

#include "Environment.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace skyfetch::test {

#ifdef _WIN32
inline const std::string kApplicationProfile = "\\Skyfetch\\skyfetch.ini";
#else
inline const std::string kApplicationProfile = "/skyfetch/skyfetch.ini";
#endif

// The variable that names the settings folder points at a new folder while a test runs.
class SettingsStore : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // The shared profile where it is an INI file of ours. On Windows it is the system's
    // profile instead (SettingsStoreWin32Test.cpp), and the INI store's rules for it are
    // checked on a file in its place.
    Profile shared_ini() const {
#ifdef _WIN32
        return Profile(utf8_of(m_dir / "phytomod/phytomod.ini"), "PHYTOMOD");
#else
        return shared_profile();
#endif
    }

    std::filesystem::path m_dir = fs_path(make_temp_folder("skyfetch-settings-"));
    const ScopedEnvironment m_config{kConfigVariable, utf8_of(m_dir)};
};

} // namespace skyfetch::test
