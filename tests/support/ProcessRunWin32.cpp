#include "ProcessRun.h"

#include "putil/ShellRequest.h"
#include "putil/Win32Support.h"

namespace skyfetch::test {
namespace {

// A file for one captured stream, removed when the last handle to it closes.
HANDLE capture_file(SECURITY_ATTRIBUTES& inherited) {
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    GetTempFileNameW(folder, L"sky", 0, name);
    return CreateFileW(
        name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string read_from_start(HANDLE file) {
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        text.append(buffer, n);
    return text;
}

} // namespace

ProcessRun run_process(const std::string& program, const std::vector<std::string>& args,
                       const ProcessOptions& options) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE out = capture_file(inherited);
    const HANDLE err = capture_file(inherited);
    const HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherited, OPEN_EXISTING, 0, nullptr);
    HANDLE childOut = out;
    if (options.stdoutBrokenPipe) {
        HANDLE reader = nullptr;
        CreatePipe(&reader, &childOut, &inherited, 0);
        CloseHandle(reader);
    } else if (!options.stdoutFile.empty()) {
        childOut = CreateFileW(win32::native_path(options.stdoutFile).c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    std::string commandLine = quoted_argument(program);
    for (const std::string& arg : args)
        commandLine += " " + quoted_argument(arg);
    std::wstring wideCommand = win32::wide(commandLine);
    const std::wstring folder = win32::native_path(options.folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = childOut;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (options.newConsole ? CREATE_NEW_CONSOLE : 0);
    // Wine, busy with many test processes, now and then fails a start that succeeds a
    // moment later; a start that keeps failing says why in the captured error text.
    bool started = false;
    DWORD startError = 0;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(200);
        started =
            CreateProcessW(nullptr, wideCommand.data(), nullptr, nullptr, TRUE, flags, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &process);
        if (!started)
            startError = GetLastError();
    }
    if (childOut != out)
        CloseHandle(childOut);
    CloseHandle(in);

    ProcessRun run;
    run.status = 126; // could not be started
    if (started) {
        CloseHandle(process.hThread);
        run.pid = process.dwProcessId;
        bool acted = false;
        for (int waitedMs = 0; WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT;
             ++waitedMs) {
            if (options.when && !acted && options.when()) {
                options.act(static_cast<int>(process.dwProcessId));
                acted = true;
            }
            if (waitedMs == 60000)
                TerminateProcess(process.hProcess, 137);
        }
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hProcess);
    }
    run.out = read_from_start(out);
    run.err = read_from_start(err);
    if (!started)
        run.err += "could not start " + program + ": error " + std::to_string(startError) + "\r\n";
    CloseHandle(out);
    CloseHandle(err);
    return run;
}

void send_ctrl_c(unsigned long pid) {
    // The event goes to every process of the console, this one too while it is attached:
    // this one lets it pass (a handler is not inherited, unlike ignoring Ctrl-C would be).
    static const BOOL passing = SetConsoleCtrlHandler([](DWORD) { return TRUE; }, TRUE);
    (void)passing;
    FreeConsole();
    if (AttachConsole(pid)) {
        GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        FreeConsole();
    }
}

std::string this_program() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return win32::utf8(path);
}

} // namespace skyfetch::test
