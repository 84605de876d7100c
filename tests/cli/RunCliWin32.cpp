#include "RunCli.h"

#include "ProcessRun.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace skyfetch::test {
namespace {

// A console program's standard streams are text streams: every line ends in CR LF. The
// text comes back with "\n" line ends, as the tests compare it on every platform; a bare
// LF fails the test.
std::string text_of(const std::string& bytes, const char* stream) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            ADD_FAILURE() << "a line of standard " << stream << " ends without CR LF: " << bytes;
        text += bytes[i];
    }
    return text;
}

} // namespace

CliRun run_cli(const std::vector<std::string>& args, const std::string& folder,
               const CliRunOptions& options) {
    // Limits, closed streams and signals are POSIX's; their cases run there only.
    EXPECT_TRUE(options.fileSizeLimit == 0 && options.addressSpace == 0 && options.stackSize == 0 &&
                !options.closeStdin && !options.closeStdout && !options.closeStderr)
        << "an option Windows does not have";
    ProcessOptions process;
    process.folder = folder;
    process.stdoutFile = options.stdoutFile;
    process.stdoutBrokenPipe = options.stdoutBrokenPipe;
    process.newConsole = options.newConsole;
    process.when = options.when;
    process.act = options.act;
    const ProcessRun run = run_process(SKYFETCH_CLI_PATH, args, process);
    return {static_cast<int>(run.status), text_of(run.out, "output"), text_of(run.err, "error")};
}

CliRun run_cli(const std::vector<std::string>& args, const std::string& folder, long fileSizeLimit,
               const std::string& stdoutFile, const std::function<bool()>& when, int signal) {
    EXPECT_EQ(signal, 0) << "Windows has no signals";
    CliRunOptions options;
    options.fileSizeLimit = fileSizeLimit;
    options.stdoutFile = stdoutFile;
    options.when = when;
    return run_cli(args, folder, options);
}

void end_outright(int pid) {
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid))) {
        TerminateProcess(process, 137);
        CloseHandle(process);
    }
}

} // namespace skyfetch::test
