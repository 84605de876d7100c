// The settings store on what only POSIX has: the shared profile as a file of ours beside
// the program's own, $XDG_CONFIG_HOME and $HOME, named pipes, symbolic links and
// permission bits.
#include "settings/Profile.h"
#include "settings/ProfileLocations.h"

#include "SettingsFixture.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

using test::read_text;
using test::SettingsStore;
using test::write_text;

} // namespace

TEST_F(SettingsStore, TheSharedProfileIsAFileBesideItsOwn) {
    EXPECT_EQ(shared_profile().path(), (m_dir / "phytomod/phytomod.ini").string());

    // A relative XDG_CONFIG_HOME is not usable; the home folder's .config is taken.
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(config_home(), "/home/someone/.config");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(shared_profile().path(), "/home/someone/.config/phytomod/phytomod.ini");
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(SettingsStore, OnlyAFileIsAProfile) {
    // A pipe where the profile belongs is no profile: defaults, refused writes, no wait.
    const Profile app = application_profile();
    fs::create_directories(fs::path(app.path()).parent_path());
    ASSERT_EQ(mkfifo(app.path().c_str(), 0666), 0);
    EXPECT_EQ(app.read_int("LATITUDE", 3), 3);
    EXPECT_FALSE(app.write_int("LATITUDE", 4));
}

TEST_F(SettingsStore, WritesKeepALinkedProfileAndItsPermissions) {
    const fs::path real = m_dir / "elsewhere/phytomod.ini";
    write_text(real, "[PHYTOMOD]\nA=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_directories(m_dir / "phytomod");
    fs::create_symlink(real, m_dir / "phytomod/phytomod.ini");

    ASSERT_TRUE(shared_profile().write_string("B", "2"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "phytomod/phytomod.ini"));
    EXPECT_EQ(read_text(real), "[PHYTOMOD]\nA=1\nB=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(real.parent_path()), {}), 1);
}
