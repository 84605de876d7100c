// The desktop launcher on Windows hands its requests to the shell, each path as one
// argument of the program's command line.
#include "dialog/Launcher.h"
#include "putil/ShellRequest.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

using namespace skyfetch;

namespace {

// What a program reads back from its command line (CommandLineToArgvW's rules).
std::vector<std::string> arguments_read_back(const std::string& commandLine) {
    int count = 0;
    const std::wstring wide = test::fs_path(commandLine).wstring();
    wchar_t** read = CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(test::utf8_of(std::filesystem::path(read[i])));
    LocalFree(read);
    return arguments;
}

TEST(DesktopLauncher, EachPathIsOneArgumentOfTheCommandLine) {
    const std::string paths[] = {
        "C:\\runs\\climate.txt",
        "C:\\run 1\\climate file.txt",
        "C:\\runs\\",
        "\\\\server\\share\\x y\\",
        "-x\\a\"b.txt",
        "C:\\Daten_\u00c4\\\u5317\u4eac.txt",
        "",
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(arguments_read_back("program.exe " + quoted_argument(path)),
                  (std::vector<std::string>{"program.exe", path}))
            << path;
    }
}

TEST(DesktopLauncher, NoProgramTakesAFolderThatIsNotThere) {
    const test::TempFolder temp;
    EXPECT_FALSE(DesktopLauncher().ExploreFolder("no such folder"));
}

} // namespace
