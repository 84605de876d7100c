// The choice of the output folder and the first file name before the window opens.
#include "putil/FileSystem.h"
#include "app/StartupOutput.h"
#include "putil/Platform.h"
#include "settings/Profile.h"
#include "settings/ProfileLocations.h"

#include "StartupFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

using test::Startup;

} // namespace

TEST_F(Startup, FirstRunStaysInTheDocumentsFolder) {
    EXPECT_EQ(ChooseOutput(std::nullopt), "");
    EXPECT_EQ(fs::current_path(), m_documents);
}

TEST_F(Startup, AnArgumentFolderWinsOverTheRememberedOne) {
    const fs::path remembered = Folder("remembered", {"run.txt"});
    Remember(remembered.string(), "run.txt");
    const fs::path argument = Folder("argument", {"climate.txt"});
    EXPECT_EQ(ChooseOutput(argument.string()), "climate0.txt");
    EXPECT_EQ(fs::current_path(), argument);
}

TEST_F(Startup, AnArgumentThatIsNoFolderIsIgnored) {
    const fs::path remembered = Folder("remembered", {"site.txt"});
    Remember(remembered.string(), "site.txt");
    EXPECT_EQ(ChooseOutput((m_root / "no such folder").string()), "site0.txt");
    EXPECT_EQ(fs::current_path(), remembered);
    // A file given where a folder is expected is ignored too.
    fs::current_path(m_documents);
    EXPECT_EQ(ChooseOutput((remembered / "site.txt").string()), "site0.txt");
}

TEST_F(Startup, TheRememberedNameLosesItsNumber) {
    const fs::path remembered = Folder("runs", {"climate3.txt"});
    Remember(remembered.string() + "/", "climate3.txt");
    EXPECT_EQ(ChooseOutput(std::nullopt), "climate.txt");
    EXPECT_EQ(fs::current_path(), remembered);

    // Only the remembered file present: its unnumbered name is free.
    const fs::path seven = Folder("seven", {"climate7.txt"});
    Remember(seven.string(), "climate7.txt");
    EXPECT_EQ(ChooseOutput(std::nullopt), "climate.txt");

    const fs::path taken = Folder("taken", {"climate.txt", "climate0.txt", "climate3.txt"});
    Remember(taken.string(), "climate3.txt");
    EXPECT_EQ(ChooseOutput(std::nullopt), "climate1.txt");
}

TEST_F(Startup, ADeletedRememberedFileStartsInTheDocumentsFolder) {
    const fs::path remembered = Folder("remembered");
    Remember(remembered.string(), "gone.txt");
    EXPECT_EQ(ChooseOutput(std::nullopt), "");
    EXPECT_EQ(fs::current_path(), m_documents);
}

TEST_F(Startup, ReadLastOutputAddsTheSeparator) {
    std::string folder, name;
    EXPECT_FALSE(ReadLastOutput(folder, name)); // nothing remembered

    // Windows allows no '"' in a name.
    const fs::path remembered = Folder(
        kWindowsPaths ? "with, comma and 'quotes'" : "with, comma and \"quotes\"", {"a.txt"});
    Remember(remembered.string(), "a.txt");
    ASSERT_TRUE(ReadLastOutput(folder, name));
    const std::string separator(1, native_separator());
    EXPECT_EQ(folder, remembered.string() + separator);
    EXPECT_EQ(name, "a.txt");

    Remember(remembered.string(), "missing.txt");
    EXPECT_FALSE(ReadLastOutput(folder, name));
    EXPECT_EQ(folder, remembered.string() + separator); // set although the file is gone

    Remember("", "a.txt");
    EXPECT_FALSE(ReadLastOutput(folder, name));
    EXPECT_EQ(folder, "");
}

TEST_F(Startup, TheRememberedFileIsAFileOfItsOwnFolder) {
    // Other programs write the shared profile: a name with a folder part counts by its own
    // name only (a pipe under the remembered name: StartupPosixTest.cpp).
    const fs::path runs = Folder("runs", {"site.txt"});
    std::string folder, name;
    Remember(runs.string(), "elsewhere/site.txt");
    ASSERT_TRUE(ReadLastOutput(folder, name));
    EXPECT_EQ(name, "site.txt");
    Remember(runs.string(), "../../../etc/passwd");
    EXPECT_EQ(ChooseOutput(std::nullopt), "");
    EXPECT_EQ(fs::current_path(), m_documents);
}

TEST(FolderArgument, TheFirstPlainArgumentMadeAbsolute) {
    const struct {
        std::vector<std::string> arguments;
        std::string launch;
        std::optional<std::string> folder;
    } rows[] = {
        {{}, "/home/me", std::nullopt},
        {{"-style", "--x"}, "/home/me", std::nullopt},
        {{"out"}, "/home/me", "/home/me/out"},
        {{"../runs/out"}, "/home/me", "/home/me/../runs/out"},
        {{"-v", "out", "second"}, "/home/me", "/home/me/out"},
        {{"/data/out"}, "/home/me", "/data/out"},
        {{"out"}, "/", "/out"},
        {{"out"}, "", "out"}, // no launch directory known: as given
    };
    for (const auto& row : rows)
        EXPECT_EQ(FolderArgument(row.arguments, row.launch), row.folder)
            << (row.arguments.empty() ? std::string("(none)") : row.arguments.back());
}

TEST_F(Startup, ARelativeArgumentMeansTheLaunchFolder) {
    // Started in launch/ with the argument "out"; the program then moves to the
    // documents folder before it chooses the output folder.
    const fs::path launch = Folder("launch");
    const fs::path out = Folder("launch/out", {"climate.txt"});
    fs::current_path(launch);
    const std::optional<std::string> folder = FolderArgument({"out"}, fs::current_path().string());
    fs::current_path(m_documents);
    EXPECT_EQ(ChooseOutput(folder), "climate0.txt");
    EXPECT_EQ(fs::current_path(), out);
}
