// The path rules, names and texts as they are on Windows: drives and shares, '\', folders
// compared without regard to case, and the report in the words of Windows programs.
#include "app/StartupOutput.h"
#include "dialog/DesktopTexts.h"
#include "msgdialog/MessageLayout.h"
#include "putil/FileSystem.h"
#include "putil/WorkingFolder.h"
#include "rules/FolderTree.h"
#include "rules/OutputFileCheck.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace skyfetch {
namespace {

using Chain = std::vector<std::string>;

TEST(WindowsFolderTree, SplitsAtDrivesSharesAndBothSeparators) {
    const struct {
        const char* path;
        Chain components;
        const char* joined;
    } cases[] = {
        {"C:\\Users\\me\\climate.txt",
         {"C:", "Users", "me", "climate.txt"},
         "C:\\Users\\me\\climate.txt"},
        {"C:/Users/me/x.txt", {"C:", "Users", "me", "x.txt"}, "C:\\Users\\me\\x.txt"},
        {"C:\\x.txt", {"C:", "x.txt"}, "C:\\x.txt"},
        {"C:\\", {"C:"}, "C:"},
        {"\\\\server\\share\\runs\\a.txt",
         {"\\\\server\\share", "runs", "a.txt"},
         "\\\\server\\share\\runs\\a.txt"},
        {"sub\\run.txt", {"sub", "run.txt"}, "sub\\run.txt"},
        {"D:\\data\\\\runs\\a.txt", {"D:", "data", "runs", "a.txt"}, "D:\\data\\runs\\a.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitTreePath(c.path), c.components) << c.path;
        EXPECT_EQ(JoinTreePath(c.components), c.joined) << c.path;
    }
}

TEST(WindowsFolderTree, ChainStartsAtTheDrive) {
    FolderTreeChain chain = BuildFolderTree("climate.txt", "C:\\Users\\me");
    EXPECT_EQ(chain.components, (Chain{"C:", "Users", "me", "climate.txt"}));
    EXPECT_EQ(chain.folder, "C:\\Users\\me");
    // A drive root is held as its letter and colon.
    chain = BuildFolderTree("climate.txt", "C:");
    EXPECT_EQ(chain.components, (Chain{"C:", "climate.txt"}));
    EXPECT_EQ(chain.folder, "C:");
    chain = BuildFolderTree("D:/out/run.txt", "C:\\Users\\me");
    EXPECT_EQ(chain.folder, "D:\\out");
}

TEST(WindowsFolderTree, ClicksCompareFoldersWithoutRegardToCase) {
    const Chain tree{"C:", "Users", "me", "climate.txt"};
    const struct {
        Chain clicked;
        const char* outputFolder;
        const char* folder;
        const char* name;
        bool asks;
    } cases[] = {
        {{"C:", "Users"}, "C:\\Users\\me", "C:\\Users", "", true},
        {{"C:"}, "C:\\Users\\me", "C:\\", "", true},
        {{"C:", "Users", "me"}, "C:\\Users\\me", "C:\\Users\\me", "", false},
        {{"C:", "USERS", "ME"}, "c:\\users\\me", "C:\\USERS\\ME", "", false},
        {{"C:", "Users", "me"}, "C:/Users/me", "C:\\Users\\me", "", false},
        {tree, "C:\\Users\\me", "C:\\Users\\me\\", "climate.txt", false},
        {tree, "C:\\Users\\other", "C:\\Users\\me\\", "climate.txt", true},
    };
    for (const auto& c : cases) {
        const TreeClick click = ResolveTreeClick(c.clicked, tree.size(), c.outputFolder);
        EXPECT_EQ(click.folder, c.folder) << c.folder;
        EXPECT_EQ(click.name, c.name) << c.folder;
        EXPECT_EQ(click.askFolderChange, c.asks) << c.folder << " from " << c.outputFolder;
    }
    const TreeClick users = ResolveTreeClick({"C:", "Users"}, tree.size(), "C:\\Users\\me");
    EXPECT_EQ(users.question, "Do you want to change the output folder to C:\\Users?");
    std::string folder = users.folder;
    EXPECT_EQ(BrowseFromFolderStart(folder, "", "C:\\Users\\me", "climate.txt"),
              "C:\\Users\\climate.txt");
    std::string browsePath;
    EXPECT_EQ(BrowseButtonStart(browsePath, "run.txt", "D:\\out"), "D:\\out\\run.txt");
}

TEST(WindowsStartup, FolderArgumentKeepsRootedPaths) {
    const struct {
        const char* argument;
        const char* launch;
        const char* folder;
    } cases[] = {
        {"D:\\runs", "C:\\Users\\me", "D:\\runs"},
        {"\\\\server\\share\\runs", "C:\\Users\\me", "\\\\server\\share\\runs"},
        {"runs", "C:\\Users\\me", "C:\\Users\\me\\runs"},
        {"runs", "C:\\", "C:\\runs"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderArgument({c.argument}, c.launch).value_or("none"), c.folder) << c.argument;
}

TEST(WindowsTexts, NameExcelAndExplorer) {
    EXPECT_EQ(ReportViewAdvice(), "The file may be opened and viewed as a tab-delimited text "
                                  "file in a spreadsheet program such as Excel.");
    EXPECT_EQ(ReportViewText("a.txt"), " to open a.txt in Excel (if available on this computer), ");
    EXPECT_EQ(ReportExploreText("C:\\out"), " to navigate to C:\\out in an Explorer window or ");
    EXPECT_STREQ(BrowseFilter(), "Text files (*.txt)\t*.txt\tAll files (*.*)\t*.*\t");
    EXPECT_EQ(OutputOpenFailedMessage("C:\\out\\a.txt", "Access is denied"),
              "Could not open C:\\out\\a.txt for output");
    EXPECT_EQ(CouldNotOpenMessage("a.txt", "Access is denied"),
              "Could not open \"a.txt\" for output.\n"
              "An existing file with this name may currently be open (e.g. in Excel).\n"
              "If so, you have to first close it, save it under another name,\n"
              "or choose another name for the output file.");
}

TEST(WindowsMessageLayout, PathsBreakAfterBackslashes) {
    EXPECT_EQ(FindBreak("C:\\Data\\Runs\\site1.txt", 1, true), 2);
    EXPECT_EQ(FindBreak("C:\\Data\\Runs\\site1.txt", 2, true), 7);
    EXPECT_EQ(FindBreak("C:/Data-1", 2, true), 7);
}

TEST(WindowsWorkingFolder, EntersFoldersWithAnyName) {
    const std::u8string temp = std::filesystem::temp_directory_path().u8string();
    // "skyfetch-wd-" with e acute, sharp s and a CJK character, in UTF-8.
    const std::string folder = join_path(std::string(temp.begin(), temp.end()),
                                         "skyfetch-wd-\xc3\xa9\xc3\x9f\xe4\xb8\xad\\sub");
    ASSERT_EQ(make_folders(folder), 0);
    const std::string before = CurrentFolder();
    ASSERT_EQ(change_directory(folder), 0);
    EXPECT_TRUE(same_path_text(CurrentFolder(), folder)) << CurrentFolder();
    EXPECT_EQ(change_directory(folder + "\\missing"), ENOENT);
    EXPECT_EQ(change_directory(""), ENOENT);
    ASSERT_EQ(change_directory(before), 0);
    std::filesystem::remove_all(
        std::filesystem::path(std::u8string(folder.begin(), folder.end())).parent_path());
}

} // namespace
} // namespace skyfetch
