#include "putil/ProcessSetup.h"

#include "putil/Win32Support.h"

#include <cstdlib>
#include <io.h>
#include <shellapi.h>
#include <tlhelp32.h>

namespace skyfetch {

void prepare_process_io() {
    // The program's texts are UTF-8: the console shows them as such.
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

std::vector<std::string> program_arguments(int argc, char** argv) {
    // The narrow argv went through the system's code page; the wide command line did not.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                        : std::vector<std::string>();
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(win32::utf8(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return arguments;
}

bool is_terminal(int stream) {
    return _isatty(stream) != 0;
}

bool is_only_thread() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    const DWORD self = GetCurrentProcessId();
    int threads = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        threads += entry.th32OwnerProcessID == self;
    CloseHandle(snapshot);
    return threads == 1;
}

std::string environment_variable(const char* name) {
    const std::wstring key = win32::wide(name);
    const wchar_t* value = _wgetenv(key.c_str());
    return value ? win32::utf8(value, wcslen(value)) : std::string();
}

} // namespace skyfetch
