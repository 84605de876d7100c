// The choice of the output folder and the first file name before the window opens.
#include "app/StartupOutput.h"
#include "settings/Profile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/skyfetch-startup-XXXXXX";
        m_root = fs::canonical(::mkdtemp(pattern));
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        m_documents = m_root / "Documents";
        fs::create_directories(m_documents);
        m_previous = fs::current_path();
        fs::current_path(m_documents);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_root);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    void Remember(const std::string& folder, const std::string& name) {
        const Profile shared((m_root / "config/phytomod/phytomod.ini").string(), "PHYTOMOD");
        shared.write_string("SKYFETCH_LAST_DIR", folder);
        shared.write_string("SKYFETCH_LAST_FILE", name);
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
};

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

    const fs::path remembered = Folder("with, comma and \"quotes\"", {"a.txt"});
    Remember(remembered.string(), "a.txt");
    ASSERT_TRUE(ReadLastOutput(folder, name));
    EXPECT_EQ(folder, remembered.string() + "/");
    EXPECT_EQ(name, "a.txt");

    Remember(remembered.string(), "missing.txt");
    EXPECT_FALSE(ReadLastOutput(folder, name));
    EXPECT_EQ(folder, remembered.string() + "/"); // set although the file is gone

    Remember("", "a.txt");
    EXPECT_FALSE(ReadLastOutput(folder, name));
    EXPECT_EQ(folder, "");
}

TEST_F(Startup, TheRememberedFileIsAFileOfItsOwnFolder) {
    // Other programs write the shared profile: a name with a folder part counts by its own
    // name only, and a pipe under the remembered name is never opened (nor offered).
    const fs::path runs = Folder("runs", {"site.txt"});
    ASSERT_EQ(::mkfifo((runs / "pipe.txt").c_str(), 0666), 0);
    std::string folder, name;
    Remember(runs.string(), "elsewhere/site.txt");
    ASSERT_TRUE(ReadLastOutput(folder, name));
    EXPECT_EQ(name, "site.txt");
    Remember(runs.string(), "../../../etc/passwd");
    EXPECT_EQ(ChooseOutput(std::nullopt), "");
    EXPECT_EQ(fs::current_path(), m_documents);
    Remember(runs.string(), "pipe.txt");
    EXPECT_FALSE(ReadLastOutput(folder, name));
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
