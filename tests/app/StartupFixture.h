#pragma once

// The start-up tests on every platform and on POSIX alone share a fresh root folder with a
// documents folder as the current directory, and a settings folder beside it.

#include "settings/Profile.h"
#include "settings/ProfileLocations.h"

#include "Environment.h"
#include "KeptSharedProfile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace skyfetch::test {

namespace fs = std::filesystem;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::canonical(fs_path(make_temp_folder("skyfetch-startup-")));
        m_config = std::make_unique<ScopedEnvironment>(kConfigVariable, utf8_of(m_root / "config"));
        m_documents = m_root / "Documents";
        fs::create_directories(m_documents);
        m_previous = fs::current_path();
        fs::current_path(m_documents);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_root);
    }
    // The shared profile is a file under the settings folder, on Windows the system
    // profile, whose values the test puts back afterwards.
    void Remember(const std::string& folder, const std::string& name) {
        shared_profile().write_string("SKYFETCH_LAST_DIR", folder);
        shared_profile().write_string("SKYFETCH_LAST_FILE", name);
    }
    fs::path Folder(const std::string& name, std::initializer_list<const char*> files = {}) {
        const fs::path folder = m_root / name;
        fs::create_directories(folder);
        for (const char* file : files)
            std::ofstream(folder / file) << "x";
        return folder;
    }

    fs::path m_root;
    fs::path m_documents;
    fs::path m_previous;
    std::unique_ptr<ScopedEnvironment> m_config;
    const KeptSharedProfile m_kept{};
};

} // namespace skyfetch::test
