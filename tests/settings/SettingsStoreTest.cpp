#include "settings/IniFile.h"
#include "settings/Profile.h"
#include "settings/ProfileLocations.h"

#include "Environment.h"
#include "SettingsFixture.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

using test::read_text;
using test::SettingsStore;
using test::write_text;

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
    EXPECT_EQ(application_profile().path(), test::utf8_of(m_dir) + test::kApplicationProfile);
    EXPECT_EQ(application_profile().section(), "SKYFETCH");
    EXPECT_EQ(shared_profile().section(), "PHYTOMOD");
}

TEST_F(SettingsStore, MissingFileOrKeyGivesTheDefault) {
    const Profile app = application_profile();
    EXPECT_EQ(app.read_int("SPINUPYEARS", 1000), 1000);
    EXPECT_EQ(shared_ini().read_string("SKYFETCH_LAST_DIR", ""), "");
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
    const Profile shared = shared_ini();
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
    const Profile shared = shared_ini();
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

TEST_F(SettingsStore, OnlyABracketedLineIsASection) {
    // "[x]=1" is a key of the section it stands in: the keys after it stay in reach.
    const Profile app = application_profile();
    write_text(app.path(), "[SKYFETCH]\n[x]=1\nLATITUDE=7\n");
    EXPECT_EQ(app.read_int("LATITUDE", 0), 7);
    ASSERT_TRUE(app.write_int("LONGITUDE", 8));
    EXPECT_EQ(read_text(app.path()), "[SKYFETCH]\n[x]=1\nLATITUDE=7\nLONGITUDE=8\n");
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
    test::set_environment(test::kConfigVariable, test::utf8_of(blocker));
    EXPECT_FALSE(application_profile().write_int("SPINUPYEARS", 1));
    EXPECT_EQ(application_profile().read_int("SPINUPYEARS", 1000), 1000);
    EXPECT_EQ(read_text(blocker), "not a folder");
}
