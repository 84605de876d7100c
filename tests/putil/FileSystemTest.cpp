#include "putil/FileSystem.h"
#include "putil/Platform.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace skyfetch {
namespace {

// Every kind of name, told apart without opening anything: a FIFO with no writer would
// block an open for reading forever, so merely finishing this test is part of it.
TEST(FileSystem, KindsOfNamesWithoutOpeningThem) {
    test::TempFolder folder;
    test::TempFolder::write("file.txt", "x");
    ASSERT_EQ(mkdir("sub", 0777), 0);
    ASSERT_EQ(mkfifo("pipe", 0666), 0);
    ASSERT_EQ(symlink("file.txt", "to-file"), 0);
    ASSERT_EQ(symlink("sub", "to-folder"), 0);
    ASSERT_EQ(symlink("gone.txt", "dangling"), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", "socket");
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const struct {
        const char* name;
        FileKind followed;
        FileKind entry;
    } rows[] = {
        {"file.txt", FileKind::Regular, FileKind::Regular},
        {"sub", FileKind::Folder, FileKind::Folder},
        {"pipe", FileKind::Pipe, FileKind::Pipe},
        {"socket", FileKind::Socket, FileKind::Socket},
        {"/dev/null", FileKind::Device, FileKind::Device},
        {"to-file", FileKind::Regular, FileKind::Link},
        {"to-folder", FileKind::Folder, FileKind::Link},
        {"dangling", FileKind::None, FileKind::Link},
        {"missing.txt", FileKind::None, FileKind::None},
        {"file.txt/below", FileKind::None, FileKind::None},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(file_kind(row.name), row.followed) << row.name;
        EXPECT_EQ(entry_kind(row.name), row.entry) << row.name;
        EXPECT_EQ(name_exists(row.name), row.entry != FileKind::None) << row.name;
    }
    close(sock);
}

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
