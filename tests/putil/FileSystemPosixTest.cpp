#include "putil/FileSystem.h"

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

} // namespace
} // namespace skyfetch
