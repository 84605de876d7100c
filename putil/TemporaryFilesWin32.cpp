#include "putil/TemporaryFiles.h"

#include "putil/FileSystem.h"
#include "putil/TemporaryRegistry.h"
#include "putil/Win32Support.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

namespace skyfetch {
namespace {

// A fixed table the console handler can walk without locks or allocation. A place is
// Free, being Filled by its owner (ignored by the handler), or Held with a complete path.
enum : int { kFree = 0, kFilling = 1, kHeld = 2 };
constexpr int kPlaces = 1024;
constexpr std::size_t kPathMax = 4096; // wide characters

struct Place {
    std::atomic<int> state{kFree};
    // Made by the first owner and kept for the life of the process.
    std::atomic<wchar_t*> path{nullptr};
};
Place g_places[kPlaces];
std::atomic<bool> g_cleaningUp{false};
std::atomic<int> g_creating{0};

void remove_every_temporary() {
    g_cleaningUp.store(true);
    // Let a creation that has begun finish registering what it made.
    for (int spins = 0; g_creating.load() > 0 && spins < 2000; ++spins)
        Sleep(0);
    for (Place& place : g_places) {
        if (place.state.load(std::memory_order_acquire) == kHeld) {
            // A file still open is removed when its last handle closes, which the end of
            // the process does.
            if (const wchar_t* path = place.path.load(std::memory_order_acquire))
                DeleteFileW(path);
        }
    }
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
    g_creating.fetch_add(1);
    m_allowed = !g_cleaningUp.load();
}

Creation::~Creation() {
    g_creating.fetch_sub(1);
}

int add(std::intptr_t, const std::string& name) {
    const std::wstring path = win32::native_path(name);
    if (path.size() >= kPathMax)
        return -1;
    for (int i = 0; i < kPlaces; ++i) {
        Place& place = g_places[i];
        int expected = kFree;
        if (!place.state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel))
            continue;
        wchar_t* buffer = place.path.load(std::memory_order_relaxed);
        if (!buffer) {
            buffer = new (std::nothrow) wchar_t[kPathMax];
            if (!buffer) {
                place.state.store(kFree, std::memory_order_release);
                return -1;
            }
        }
        std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        place.path.store(buffer, std::memory_order_release);
        place.state.store(kHeld, std::memory_order_release);
        return i;
    }
    return -1;
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
    if (ticket >= 0 && ticket < kPlaces)
        g_places[ticket].state.store(kFree, std::memory_order_release);
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
