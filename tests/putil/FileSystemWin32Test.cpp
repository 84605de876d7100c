// The file-system layer on Windows: kinds and taken names as the system reports them
// (letters in any case), wide names, roots of drives and shares, the held output folder
// and the system's own words for a failure.
#include "putil/FileSystem.h"
#include "putil/OutputFolder.h"
#include "putil/SystemError.h"
#include "putil/TemporaryFiles.h"

#include "TempFolder.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <windows.h>

namespace skyfetch {
namespace {

namespace fs = std::filesystem;
using test::fs_path;
using test::TempFolder;

const std::string kFolder = "Daten_\u00c4";
const std::string kFile = "Lund_\u00c5_\u5317\u4eac.txt";

TEST(FileSystemWin32, KindsAndTakenNamesInAnyCase) {
    TempFolder temp;
    fs::create_directory(fs_path(kFolder));
    test::write_text(fs_path(kFolder + "\\" + kFile), "x");
    TempFolder::write("climate.txt", "x");
    const struct {
        std::string name;
        FileKind kind;
    } rows[] = {
        {"climate.txt", FileKind::Regular},
        {"CLIMATE.TXT", FileKind::Regular},
        {kFolder, FileKind::Folder},
        {kFolder + "/" + kFile, FileKind::Regular},
        {"missing.txt", FileKind::None},
        {"missing\\x.txt", FileKind::None},
        {"climate.txt\\below", FileKind::None},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(file_kind(row.name), row.kind) << row.name;
        EXPECT_EQ(name_exists(row.name), row.kind != FileKind::None) << row.name;
    }
    EXPECT_EQ(rename_no_replace(kFolder + "\\" + kFile, "Climate.Txt"), EEXIST);
}

TEST(FileSystemWin32, WideNamesAndFoldersComeBackAsTheyWereWritten) {
    TempFolder temp;
    const std::string folder = kFolder + "\\" + kFolder;
    ASSERT_EQ(make_folders(folder), 0);
    test::write_text(fs_path(folder + "\\a.txt"), "text");
    ASSERT_EQ(rename_no_replace(folder + "\\a.txt", folder + "\\" + kFile), 0);
    std::string text;
    EXPECT_EQ(read_whole_file(folder + "/" + kFile, text), 0);
    EXPECT_EQ(text, "text");
    fs::current_path(fs_path(folder));
    EXPECT_EQ(CurrentFolder(), temp.path() + "\\" + folder);
    EXPECT_EQ(absolute_folder(kFile), temp.path() + "\\" + folder + "\\" + kFile);
}

// Roots of drives and shares, with either separator. Whether each is absolute, and where a
// name joined to it lands.
TEST(FileSystemWin32, DriveAndShareRoots) {
    const struct {
        const char* folder;
        bool absolute;
        const char* joined;
    } rows[] = {
        {"C:\\", true, "C:\\x.txt"},
        {"C:", false, "C:x.txt"},
        {"c:/runs", true, "c:/runs/x.txt"},
        {"\\\\server\\share\\", true, "\\\\server\\share\\x.txt"},
        {"\\\\server\\share", true, "\\\\server\\share\\x.txt"},
        {"//server/share/runs", true, "//server/share/runs/x.txt"},
        {"\\runs", true, "\\runs\\x.txt"},
        {"runs", false, "runs\\x.txt"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(is_absolute_path(row.folder), row.absolute) << row.folder;
        EXPECT_EQ(join_path(row.folder, "x.txt"), row.joined) << row.folder;
    }
    EXPECT_EQ(absolute_folder("\\\\server\\share"), "\\\\server\\share");
}

// The folder is held without leave to delete it: it cannot be renamed while a batch
// writes into it, and every file lands in it.
TEST(FileSystemWin32, AHeldOutputFolderStaysWhereItIs) {
    TempFolder temp;
    fs::create_directory(fs_path(kFolder));
    std::error_code renamed;
    {
        OutputFolder folder;
        ASSERT_EQ(folder.open(kFolder), 0);
        std::string name;
        OutputFile file;
        int ticket = -1;
        ASSERT_EQ(folder.create_temporary(name, file, ticket), 0);
        ASSERT_EQ(file.write_all("x", 1), 0);
        ASSERT_EQ(file.close(), 0);
        fs::rename(fs_path(kFolder), "moved", renamed);
        EXPECT_TRUE(renamed) << "renamed while held";
        EXPECT_EQ(folder.rename(name, kFile, false), 0);
        forget_temporary(ticket);
    }
    EXPECT_EQ(test::read_text(fs_path(kFolder + "\\" + kFile)), "x");
    fs::rename(fs_path(kFolder), "moved", renamed);
    EXPECT_FALSE(renamed) << "still held after the folder was closed: " << renamed.message();
}

// Windows' own message for a Win32 error code, without the closing ".\r\n".
std::string windows_text(DWORD code) {
    wchar_t text[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
    const std::string message = test::utf8_of(fs::path(std::wstring(text, length)));
    return message.substr(0, message.find_last_not_of(". \r\n") + 1);
}

// A failure is told in the system's words for what went wrong just before on this
// thread; an error from elsewhere in the C library's.
TEST(FileSystemWin32, MessagesGiveTheSystemsOwnReason) {
    TempFolder temp;
    TempFolder::write("taken.txt", "x");
    TempFolder::write("other.txt", "x");
    std::string text;
    const struct {
        const char* what;
        int (*fails)(std::string&);
        int error;
        DWORD code;
    } rows[] = {
        {"a missing folder", [](std::string& t) { return read_whole_file("gone\\x.txt", t); },
         ENOENT, ERROR_PATH_NOT_FOUND},
        {"a missing file", [](std::string& t) { return read_whole_file("gone.txt", t); }, ENOENT,
         ERROR_FILE_NOT_FOUND},
        {"a taken name", [](std::string&) { return rename_no_replace("other.txt", "TAKEN.TXT"); },
         EEXIST, ERROR_ALREADY_EXISTS},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.fails(text), row.error) << row.what;
        EXPECT_EQ(system_error_text(row.error), windows_text(row.code)) << row.what;
    }
    EXPECT_NE(windows_text(ERROR_PATH_NOT_FOUND), std::strerror(ENOENT));
    // Not the error just reported on this thread: the C library's text.
    EXPECT_EQ(system_error_text(EACCES), std::strerror(EACCES));
    read_whole_file("gone\\x.txt", text);
    std::string elsewhere;
    std::thread([&elsewhere] { elsewhere = system_error_text(ENOENT); }).join();
    EXPECT_EQ(elsewhere, std::strerror(ENOENT));
}

} // namespace
} // namespace skyfetch
