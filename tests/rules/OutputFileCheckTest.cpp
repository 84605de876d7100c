#include "rules/OutputFileCheck.h"
#include "putil/Platform.h"
#include "SystemText.h"
#include "TempFolder.h"
#include "TextFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace skyfetch {
namespace {

using test::TempFolder;

std::size_t entries_in(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(CheckOutputFile, RefusesMissingAndHiddenNames) {
    TempFolder temp;
    OutputFileCheck check = CheckOutputFile("");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.message, "Please provide a name for the output file");
    EXPECT_EQ(check.icon, PromptIcon::Warning);

    for (const char* name : {".txt", ".", "./climate.txt", "../climate.txt"}) {
        check = CheckOutputFile(name);
        EXPECT_FALSE(check.ok) << name;
        EXPECT_EQ(check.message, "Please provide a valid name for the output file") << name;
        EXPECT_EQ(check.icon, PromptIcon::Warning) << name;
    }
}

TEST(CheckOutputFile, NewFileInAnExistingFolderPassesWithoutTrace) {
    TempFolder temp;
    std::filesystem::create_directory("sub");
    EXPECT_TRUE(CheckOutputFile("climate.txt").ok);
    EXPECT_TRUE(CheckOutputFile("sub/climate.txt").ok);
    EXPECT_TRUE(CheckOutputFile(temp.path() + "/sub/run.txt").ok);
    // Neither the file nor a probe is left behind.
    EXPECT_EQ(entries_in(temp.path()), 1u);
    EXPECT_EQ(entries_in(temp.path() + "/sub"), 0u);
}

TEST(CheckOutputFile, MissingFolderIsAnError) {
    TempFolder temp;
    const OutputFileCheck check = CheckOutputFile("missing/climate.txt");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.icon, PromptIcon::Error);
    EXPECT_EQ(check.message, CouldNotOpenMessage("missing/climate.txt", test::no_such_file_text()));
    // Linux says why; Windows has its own words (tests/windows).
    if (!kWindowsPaths)
        EXPECT_EQ(check.message, "Could not open \"missing/climate.txt\" for output.\n" +
                                     test::no_such_file_text() +
                                     ".\n"
                                     "Choose another folder or another name for the output file.");
    EXPECT_EQ(check.error, ENOENT);
    EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST(CheckOutputFile, EachRefusalGivesTheReasonOfTheStepThatFailed) {
    TempFolder temp;
    TempFolder::write("plain.txt", "text\n");
    std::filesystem::create_directory("folder.txt");
    const struct {
        const char* name;
        int error;
        std::string reason;
    } cases[] = {
        // the probe file cannot be created
        {"missing/climate.txt", ENOENT, test::no_such_file_text()},
        // the name cannot be looked up
        {"plain.txt/climate.txt", ENOTDIR, std::strerror(ENOTDIR)},
        {"folder.txt", EISDIR, std::strerror(EISDIR)},
        {"new-folder/", EISDIR, std::strerror(EISDIR)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OutputFileCheck check = CheckOutputFile(c.name);
        EXPECT_FALSE(check.ok);
        EXPECT_EQ(check.icon, PromptIcon::Error);
        EXPECT_EQ(check.error, c.error);
        EXPECT_EQ(check.message, CouldNotOpenMessage(c.name, c.reason));
        if (!kWindowsPaths)
            EXPECT_NE(check.message.find("\n" + c.reason + ".\n"), std::string::npos);
    }
    // Nothing was created or removed by the checks.
    EXPECT_EQ(entries_in(temp.path()), 2u);
}

TEST(CheckOutputFile, ExistingFileIsKeptByteForByte) {
    TempFolder temp;
    const std::string content = "old driver data\r\nline two\n";
    TempFolder::write("climate.txt", content);
    const auto before = std::filesystem::last_write_time("climate.txt");
    EXPECT_TRUE(CheckOutputFile("climate.txt").ok);
    EXPECT_EQ(test::read_text("climate.txt"), content);
    EXPECT_EQ(std::filesystem::last_write_time("climate.txt"), before);
    EXPECT_EQ(entries_in(temp.path()), 1u);
}

TEST(CheckOutputFile, ExistingFolderUnderTheNameIsRefused) {
    TempFolder temp;
    std::filesystem::create_directory("climate.txt");
    OutputFileCheck check = CheckOutputFile("climate.txt");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.icon, PromptIcon::Error);
    EXPECT_EQ(check.message.rfind("Could not open \"climate.txt\" for output.\n", 0), 0u);
    EXPECT_TRUE(std::filesystem::is_directory("climate.txt"));

    // A name that ends in a separator names a folder, never a file.
    check = CheckOutputFile("sub/");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.icon, PromptIcon::Error);
}

} // namespace
} // namespace skyfetch
