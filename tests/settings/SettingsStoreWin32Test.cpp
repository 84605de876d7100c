// The settings on Windows: the program's profile under %APPDATA%, the shared one in the
// user's system profile (win.ini), where the model reads it.
#include "settings/Profile.h"
#include "settings/ProfileLocations.h"
#include "settings/SystemProfileStore.h"

#include "SettingsFixture.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <windows.h>

using namespace skyfetch;

namespace {

using test::SettingsStore;

TEST_F(SettingsStore, TheSharedProfileIsTheSystemProfile) {
    EXPECT_EQ(shared_profile().path(), "win.ini");
}

TEST_F(SettingsStore, TheApplicationProfileUnderAWideFolderName) {
    const std::string folder = test::utf8_of(m_dir) + "\\Daten_\u00c4";
    test::set_environment(test::kConfigVariable, folder);
    ASSERT_TRUE(application_profile().write_string("LASTDIR", "C:\\Lund_\u00c5_\u5317\u4eac"));
    EXPECT_EQ(test::read_text(test::fs_path(folder + "\\Skyfetch\\skyfetch.ini")),
              "[SKYFETCH]\nLASTDIR=C:\\Lund_\u00c5_\u5317\u4eac\n");
}

// A section of the system profile of its own, gone again after the test.
class SystemProfile : public ::testing::Test {
protected:
    void TearDown() override { WriteProfileStringW(L"SkyfetchTests", nullptr, nullptr); }
    const Profile m_profile{std::make_shared<SystemProfileStore>(), "SkyfetchTests"};
};

TEST_F(SystemProfile, ValuesComeBackAsTheyWereWritten) {
    const std::string values[] = {
        "C:\\runs, 2024\\final results",
        "  leading and trailing blanks  ",
        "\"quoted\"",
        "'single'",
        "\"",
        "a=b=c; not a comment # either",
        "[not a section]",
        "\u00dcn\u00efc\u00f8d\u00e9 \u00b0",
        "",
    };
    for (const std::string& value : values) {
        ASSERT_TRUE(m_profile.write_string("SKYFETCH_LAST_DIR", value)) << value;
        EXPECT_EQ(m_profile.read_string("SKYFETCH_LAST_DIR", "default"), value);
    }
    // A line break could not be read back as one value: refused.
    EXPECT_FALSE(m_profile.write_string("SKYFETCH_LAST_DIR", "two\nlines"));
}

// An ANSI win.ini holds only the characters of the system's code page: a value beyond it
// is refused and the key keeps its value, never a value with question marks.
TEST_F(SystemProfile, AValueItCannotHoldIsRefusedWhole) {
    ASSERT_TRUE(m_profile.write_string("SKYFETCH_LAST_DIR", "C:\\before"));
    const std::string wide = "C:\\Lund_\u00c5_\u5317\u4eac";
    const bool written = m_profile.write_string("SKYFETCH_LAST_DIR", wide);
    EXPECT_EQ(m_profile.read_string("SKYFETCH_LAST_DIR", ""), written ? wide : "C:\\before");
}

TEST_F(SystemProfile, AMissingKeyIsNotAnEmptyValue) {
    EXPECT_EQ(m_profile.read_string("SKYFETCH_LAST_FILE", "default"), "default");
    EXPECT_EQ(m_profile.read_int("SPINUPYEARS", 1000), 1000);
    ASSERT_TRUE(m_profile.write_string("SKYFETCH_LAST_FILE", ""));
    EXPECT_EQ(m_profile.read_string("SKYFETCH_LAST_FILE", "default"), "");
    EXPECT_EQ(m_profile.read_string("skyfetch_last_file", "default"), ""); // any case
}

} // namespace
