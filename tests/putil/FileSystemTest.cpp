#include "putil/FileSystem.h"
#include "putil/Platform.h"

#include <gtest/gtest.h>

namespace skyfetch {
namespace {

TEST(FileSystem, FolderOfAPath) {
    const struct {
        const char* path;
        const char* folder;
    } rows[] = {{"x.txt", "."}, {"/x.txt", "/"}, {"/home/me/x.txt", "/home/me"},
                {"sub/x.txt", "sub"}, {"sub/", "sub"}, {"", "."}};
    for (const auto& row : rows)
        EXPECT_EQ(folder_of(row.path), row.folder) << row.path;
}

// Windows paths have roots of three kinds and two separators; POSIX paths only "/".
TEST(FileSystem, RootsFoldersAndJoinsOnEachPlatform) {
    const struct {
        const char* path;
        std::size_t root;
        const char* folder;
        bool windows; // the row holds for Windows (true) or POSIX (false) paths
    } rows[] = {
        {"/home/me/x.txt", 1, "/home/me", false},
        {"a\\b.txt", 0, ".", false}, // a backslash is a letter on POSIX
        {"C:\\x.txt", 3, "C:\\", true},
        {"C:/data/x.txt", 3, "C:/data", true},
        {"C:x.txt", 2, "C:", true},
        {"\\\\server\\share\\x.txt", 15, "\\\\server\\share\\", true},
        {"\\\\server\\share\\sub\\x.txt", 15, "\\\\server\\share\\sub", true},
        {"sub\\x.txt", 0, "sub", true},
        {"\\x.txt", 1, "\\", true},
    };
    for (const auto& row : rows) {
        if (row.windows != kWindowsPaths)
            continue;
        EXPECT_EQ(root_length(row.path), row.root) << row.path;
        EXPECT_EQ(folder_of(row.path), row.folder) << row.path;
    }
    EXPECT_EQ(join_path("out", "x.txt"), kWindowsPaths ? "out\\x.txt" : "out/x.txt");
    EXPECT_EQ(join_path("a/b", "x.txt"), "a/b/x.txt"); // the folder's own separator is kept
    EXPECT_EQ(same_path_text("Out/Sub/", "out\\sub\\"), kWindowsPaths);
    EXPECT_TRUE(same_path_text("out/sub/", "out/sub/"));
}

} // namespace
} // namespace skyfetch
