// Temporary files on Windows: their owners told apart by process handles, their removal
// at once and on a console's Ctrl-Break, and the stale ones found in a folder with a wide
// name.
#include "putil/OutputFolder.h"
#include "putil/TemporaryFiles.h"
#include "putil/Win32Support.h"

#include "ChildProcess.h"
#include "ProcessRun.h"
#include "TempFolder.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <set>
#include <windows.h>

namespace skyfetch {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using test::fs_path;

std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs_path(folder)))
        names.insert(test::utf8_of(entry.path().filename()));
    return names;
}

// ".skyfetch-<host>-<pid>-<start>-<random>.tmp" of this machine with another owner.
std::string name_of_process(long pid) {
    std::string name = temporary_file_name();
    const std::size_t from = name.find('-', std::string(".skyfetch-").size()) + 1;
    return name.replace(from, name.find('-', from) - from, std::to_string(pid));
}

// Makes a temporary file in the folder args[0], then does what args[1] says.
int hold_temporary(const Args& args) {
    OutputFolder folder;
    std::string name;
    OutputFile file;
    int ticket = -1;
    if (folder.open(args.at(0)) != 0 || folder.create_temporary(name, file, ticket) != 0)
        return 1;
    if (args.at(1) == "remove-now") {
        remove_temporaries_now();
        // Once removed, no more are made: the process is about to end.
        return folder.create_temporary(name, file, ticket);
    }
    if (args.at(1) == "console-event") // what the handler does, the event passed on
        return win32::on_console_event(std::stoul(args.at(2)));
    // Waits for whatever ends the process.
    std::mutex never;
    std::unique_lock<std::mutex> lock(never);
    std::condition_variable().wait(lock, [] { return false; });
    return 0;
}
const test::ChildRoleEntry kHoldTemporary("hold-temporary", hold_temporary);
const test::ChildRoleEntry kExit("exit", [](const Args&) { return 0; });

TEST(TemporaryFilesWin32, AnEndedProcessStillHeldOpenIsEnded) {
    // Its number stays taken while a handle holds the ended process.
    std::wstring command = L"x --child exit";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(fs_path(test::this_program()).c_str(), command.data(), nullptr,
                               nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    EXPECT_TRUE(is_stale_temporary_name(name_of_process(process.dwProcessId)));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(TemporaryFilesWin32, StaleFilesGoFromAFolderWithAWideName) {
    const test::TempFolder temp;
    const std::string folder = "Daten_\u00c4";
    const std::string stale = name_of_process(test::run_child("exit").pid);
    const std::string own = temporary_file_name();
    for (const std::string& name : {stale, own, std::string("Lund_\u00c5_\u5317\u4eac.txt")})
        test::write_text(fs_path(folder + "\\" + name), "x");
    EXPECT_EQ(remove_stale_temporaries(folder), 1);
    EXPECT_EQ(entries(folder), (std::set<std::string>{own, "Lund_\u00c5_\u5317\u4eac.txt"}));
}

TEST(TemporaryFilesWin32, RemovedAtOnceBeforeAnAbruptEnd) {
    const std::string folder = test::make_temp_folder("skyfetch-now-\u00c4-");
    const test::ChildOutcome run = test::run_child("hold-temporary", {folder, "remove-now"});
    EXPECT_EQ(run.status, EINTR);
    EXPECT_TRUE(entries(folder).empty());
    fs::remove_all(fs_path(folder));
}

// Wine 8 delivers Ctrl-C to another console (CliWin32Test ends a batch that way) but no
// Ctrl-Break, and has no console window to close: the handler's answer to each event is
// asked directly. Every event that ends a console program takes the files, and each is
// passed on (FALSE), so that the system's default handling ends the process.
TEST(TemporaryFilesWin32, ConsoleEventsThatEndTheProgramTakeTheFiles) {
    const struct {
        DWORD event;
        bool removed;
    } rows[] = {
        {CTRL_C_EVENT, true},      {CTRL_BREAK_EVENT, true},    {CTRL_CLOSE_EVENT, true},
        {CTRL_LOGOFF_EVENT, true}, {CTRL_SHUTDOWN_EVENT, true}, {CTRL_SHUTDOWN_EVENT + 1, false},
    };
    for (const auto& row : rows) {
        const std::string folder = test::make_temp_folder("skyfetch-event-");
        const test::ChildOutcome run =
            test::run_child("hold-temporary", {folder, "console-event", std::to_string(row.event)});
        EXPECT_EQ(run.status, FALSE) << row.event;
        EXPECT_EQ(entries(folder).empty(), row.removed) << row.event;
        fs::remove_all(fs_path(folder));
    }
}

} // namespace
} // namespace skyfetch
