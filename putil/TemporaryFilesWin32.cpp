#include "putil/TemporaryFiles.h"

#include "putil/FileSystem.h"
#include "putil/TemporaryPlaces.h"
#include "putil/TemporaryRegistry.h"
#include "putil/Win32Support.h"

#include <mutex>

namespace skyfetch {
namespace {

constinit temporaries::PlaceTable<wchar_t, 4096> g_places; // full paths, wide characters
constinit temporaries::CleanupGate g_gate;

void remove_every_temporary() {
    g_gate.begin_cleanup([] { Sleep(0); });
    // A file still open is removed when its last handle closes, which the end of the
    // process does.
    g_places.for_each_held([](int, const wchar_t* path) { DeleteFileW(path); });
}

std::uint64_t creation_time(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

namespace win32 {

// Ctrl-C, Ctrl-Break, the console closed, the user logging off or the system shutting
// down: the files go, then the default handling ends the process as it would have.
BOOL WINAPI on_console_event(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        remove_every_temporary();
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace win32

namespace temporaries {

Creation::Creation() {
    static std::once_flag installed;
    std::call_once(installed, [] { SetConsoleCtrlHandler(win32::on_console_event, TRUE); });
    m_allowed = g_gate.enter();
}

Creation::~Creation() {
    g_gate.leave();
}

int add(std::intptr_t, const std::string& name) {
    const std::wstring path = win32::native_path(name);
    return g_places.add(path.c_str(), path.size(), 0);
}

const Owner& this_process() {
    static const Owner owner = [] {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        if (!GetComputerNameW(name, &size))
            size = 0;
        return Owner{host_tag(win32::utf8(name, size)), static_cast<long>(GetCurrentProcessId()),
                     creation_time(GetCurrentProcess())};
    }();
    return owner;
}

bool has_ended(const Owner& owner) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                       static_cast<DWORD>(owner.pid));
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    const std::uint64_t start = creation_time(process);
    CloseHandle(process);
    // The number may have been given to a later process.
    return !running || (start != 0 && owner.start != 0 && start != owner.start);
}

} // namespace temporaries

void forget_temporary(int ticket) {
    g_places.forget(ticket);
}

void remove_temporaries_now() {
    remove_every_temporary();
}

int remove_stale_temporaries(const std::string& folder) {
    const std::string base = folder.empty() ? "." : folder;
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileW(win32::native_path(join_path(base, ".skyfetch-*.tmp")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int removed = 0;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        const std::string name = win32::utf8(found.cFileName, wcslen(found.cFileName));
        if (is_stale_temporary_name(name) &&
            DeleteFileW(win32::native_path(join_path(base, name)).c_str()))
            ++removed;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return removed;
}

} // namespace skyfetch
