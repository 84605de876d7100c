#pragma once

#include <functional>
#include <string>
#include <vector>

namespace skyfetch::test {

// What one run of skyfetch-cli left behind.
struct CliRun {
    int status = -1; // exit status, or 128 + signal number (POSIX)
    std::string out;
    std::string err;
};

// How the child is started besides its arguments and folder. The limits, closed streams
// and signals are POSIX's alone.
struct CliRunOptions {
    // Caps the size of every file the child writes (as `ulimit -f` does), with SIGXFSZ
    // ignored so that an oversized write fails with EFBIG, unless keepXfszDefault.
    long fileSizeLimit = 0;
    bool keepXfszDefault = false;
    // Standard output goes to this file instead of the capture (out stays empty).
    std::string stdoutFile;
    // Standard output is a pipe whose reading end is already closed.
    bool stdoutBrokenPipe = false;
    // The child starts with these standard streams closed.
    bool closeStdin = false;
    bool closeStdout = false;
    bool closeStderr = false;
    // Limits of the child's address space and stack size in bytes (0: unchanged).
    long addressSpace = 0;
    long stackSize = 0;
    // Windows: the child has a console of its own, so that test::send_ctrl_c reaches it
    // alone.
    bool newConsole = false;
    // Asked every millisecond; the first time it turns true, act(pid) is called.
    std::function<bool()> when;
    std::function<void(int pid)> act;
};

// Runs the built skyfetch-cli with the arguments in the folder `folder`. A run still going
// after a minute is killed (status 137): a hang fails the test. On Windows the standard
// streams' CR LF line ends come back as "\n".
CliRun run_cli(const std::vector<std::string>& args, const std::string& folder,
               const CliRunOptions& options);

// The same with the options most tests need: a file-size limit, a file for standard
// output, and a signal sent once signalWhen() turns true.
CliRun run_cli(const std::vector<std::string>& args, const std::string& folder,
               long fileSizeLimit = 0, const std::string& stdoutFile = {},
               const std::function<bool()>& signalWhen = {}, int signal = 0);

// Ends the process at once, without a chance to clean up (SIGKILL, TerminateProcess).
void end_outright(int pid);

} // namespace skyfetch::test
