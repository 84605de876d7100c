#include "settings/IniFile.h"
#include "settings/Profile.h"
#include "settings/ProfileLocations.h"

#include "TextFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

using test::read_text;
using test::write_text;

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/skyfetch-settings-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    void TearDown() override {
        fs::remove_all(m_dir);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    fs::path m_dir;
};

} // namespace

TEST(ProfileInt, ReadsLeadingSignAndDigitsOnly) {
    const struct {
        const char* text;
        int expected;
    } rows[] = {
        {"1000", 1000},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-15", -15},
        {"+7", 7},
        {"  42", 42},
        {"9975 ", 9975},
        {"-", 0},
        {"1.5", 1},
        {"0x10", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parse_profile_int(row.text), row.expected) << '"' << row.text << '"';
}

TEST_F(SettingsStore, ProfilesLiveUnderTheConfigFolder) {
    EXPECT_EQ(application_profile().path(), (m_dir / "skyfetch/skyfetch.ini").string());
    EXPECT_EQ(application_profile().section(), "SKYFETCH");
    EXPECT_EQ(shared_profile().path(), (m_dir / "phytomod/phytomod.ini").string());
    EXPECT_EQ(shared_profile().section(), "PHYTOMOD");

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

TEST_F(SettingsStore, MissingFileOrKeyGivesTheDefault) {
    const Profile app = application_profile();
    EXPECT_EQ(app.read_int("SPINUPYEARS", 1000), 1000);
    EXPECT_EQ(shared_profile().read_string("SKYFETCH_LAST_DIR", ""), "");
    EXPECT_FALSE(fs::exists(app.path())); // reading creates nothing

    write_text(app.path(), "[SKYFETCH]\nSCENARIOYEARS=250\nTEMPCHANGE=junk\nCO2CHANGE=\n");
    EXPECT_EQ(app.read_int("SPINUPYEARS", 1000), 1000);
    EXPECT_EQ(app.read_int("SCENARIOYEARS", 100), 250);
    EXPECT_EQ(app.read_int("TEMPCHANGE", 10000), 0); // present but unreadable
    EXPECT_EQ(app.read_int("CO2CHANGE", 10000), 0);
    // The key belongs to its section only.
    EXPECT_EQ(Profile(app.path(), "OTHER").read_int("SCENARIOYEARS", 7), 7);
}

TEST_F(SettingsStore, EveryWriteReachesTheFileAtOnce) {
    const Profile app = application_profile();
    ASSERT_TRUE(app.write_int("SPINUPYEARS", 500)); // creates skyfetch/ as well
    EXPECT_EQ(read_text(app.path()), "[SKYFETCH]\nSPINUPYEARS=500\n");
    ASSERT_TRUE(app.write_int("TEMPCHANGE", 9975));
    ASSERT_TRUE(app.write_int("SPINUPYEARS", -3));
    EXPECT_EQ(read_text(app.path()), "[SKYFETCH]\nSPINUPYEARS=-3\nTEMPCHANGE=9975\n");
    // A second store object on the same file sees the values (nothing is cached).
    EXPECT_EQ(Profile(app.path(), "skyfetch").read_int("tempchange", 0), 9975);
}

TEST_F(SettingsStore, StringsComeBackVerbatim) {
    const Profile shared = shared_profile();
    const std::string values[] = {
        "/home/me/runs, 2024/\"final\" results",
        "  leading and trailing blanks  ",
        "a=b=c; not a comment # either",
        "[not a section]",
        "Ünïcødé °",
        "",
    };
    for (const std::string& value : values) {
        ASSERT_TRUE(shared.write_string("SKYFETCH_LAST_DIR", value));
        EXPECT_EQ(shared.read_string("SKYFETCH_LAST_DIR", "default"), value);
    }
    // A line break could not be read back as one value: refused, file unchanged.
    const std::string before = read_text(shared.path());
    EXPECT_FALSE(shared.write_string("SKYFETCH_LAST_DIR", "two\nlines"));
    EXPECT_EQ(read_text(shared.path()), before);
}

TEST_F(SettingsStore, ForeignContentOfTheSharedProfileSurvives) {
    const Profile shared = shared_profile();
    const std::string foreign = "; written by the model's other tools\r\n"
                                "[Display]\r\n"
                                "Colours=red,green , blue\r\n"
                                "\r\n"
                                "[phytomod]\r\n"
                                "# their comment\r\n"
                                "MODEL_HOME = /opt/phytomod\r\n"
                                "SKYFETCH_LAST_FILE=old.txt\r\n"
                                "\r\n"
                                "[Zeta]\r\n"
                                "k=v"; // no line end at the very end
    write_text(shared.path(), foreign);

    ASSERT_TRUE(shared.write_string("SKYFETCH_LAST_FILE", "climate.txt"));
    ASSERT_TRUE(shared.write_string("SKYFETCH_LAST_DIR", "/data/runs"));
    ASSERT_TRUE(shared.write_string("SKYFETCH_HAVE_OUTPUT", "1"));
    EXPECT_EQ(read_text(shared.path()), "; written by the model's other tools\r\n"
                                        "[Display]\r\n"
                                        "Colours=red,green , blue\r\n"
                                        "\r\n"
                                        "[phytomod]\r\n"
                                        "# their comment\r\n"
                                        "MODEL_HOME = /opt/phytomod\r\n"
                                        "SKYFETCH_LAST_FILE=climate.txt\r\n"
                                        "SKYFETCH_LAST_DIR=/data/runs\r\n"
                                        "SKYFETCH_HAVE_OUTPUT=1\r\n"
                                        "\r\n"
                                        "[Zeta]\r\n"
                                        "k=v");
    EXPECT_EQ(shared.read_string("MODEL_HOME", ""), " /opt/phytomod");
    EXPECT_EQ(Profile(shared.path(), "Display").read_string("colours", ""), "red,green , blue");

    // A section that is not there yet goes to the end, after a blank line, with the
    // file's own line ends.
    ASSERT_TRUE(Profile(shared.path(), "NEW").write_int("X", 1));
    const std::string after = read_text(shared.path());
    EXPECT_EQ(after.substr(after.find("[Zeta]")), "[Zeta]\r\nk=v\r\n\r\n[NEW]\r\nX=1\r\n");
}

TEST_F(SettingsStore, OnlyABracketedLineIsASectionAndOnlyAFileIsAProfile) {
    // "[x]=1" is a key of the section it stands in: the keys after it stay in reach.
    const Profile app = application_profile();
    write_text(app.path(), "[SKYFETCH]\n[x]=1\nLATITUDE=7\n");
    EXPECT_EQ(app.read_int("LATITUDE", 0), 7);
    ASSERT_TRUE(app.write_int("LONGITUDE", 8));
    EXPECT_EQ(read_text(app.path()), "[SKYFETCH]\n[x]=1\nLATITUDE=7\nLONGITUDE=8\n");

    // A pipe where the profile belongs is no profile: defaults, refused writes, no wait.
    fs::remove(app.path());
    ASSERT_EQ(mkfifo(app.path().c_str(), 0666), 0);
    EXPECT_EQ(app.read_int("LATITUDE", 3), 3);
    EXPECT_FALSE(app.write_int("LATITUDE", 4));
}

TEST_F(SettingsStore, RepeatedKeysAndSectionsUseTheFirst) {
    const Profile app = application_profile();
    write_text(app.path(), "[SKYFETCH]\nLATITUDE=1\nLATITUDE=2\n[SKYFETCH]\nLONGITUDE=3\n");
    EXPECT_EQ(app.read_int("LATITUDE", 0), 1);
    EXPECT_EQ(app.read_int("LONGITUDE", 0), 0);
    ASSERT_TRUE(app.write_int("LATITUDE", 5));
    ASSERT_TRUE(app.write_int("LONGITUDE", 6));
    EXPECT_EQ(read_text(app.path()),
              "[SKYFETCH]\nLATITUDE=5\nLATITUDE=2\nLONGITUDE=6\n[SKYFETCH]\nLONGITUDE=3\n");
}

TEST_F(SettingsStore, AFailedWriteChangesNothing) {
    // The config folder is a plain file: no profile folder can be made under it.
    const fs::path blocker = m_dir / "blocked";
    write_text(blocker, "not a folder");
    ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    EXPECT_FALSE(application_profile().write_int("SPINUPYEARS", 1));
    EXPECT_EQ(application_profile().read_int("SPINUPYEARS", 1000), 1000);
    EXPECT_EQ(read_text(blocker), "not a folder");
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
