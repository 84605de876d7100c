#pragma once

// Windows only: a program run as a test's child process, with its standard output and
// error caught, as fork and exec give the POSIX tests.

#include <functional>
#include <string>
#include <vector>

namespace skyfetch::test {

struct ProcessOptions {
    std::string folder;     // the child's current folder ("": the test's own)
    std::string stdoutFile; // standard output goes into this file instead of the capture
    // Standard output is a pipe whose reading end is already closed.
    bool stdoutBrokenPipe = false;
    // The child has a console of its own, so that send_ctrl_c reaches it alone.
    bool newConsole = false;
    // Asked every millisecond; the first time it turns true, act(pid) is called.
    std::function<bool()> when;
    std::function<void(int pid)> act;
};

struct ProcessRun {
    unsigned long status = 0; // the exit code
    std::string out;          // the bytes written to standard output and error
    std::string err;
    unsigned long pid = 0;
};

// Runs the program (a Windows path, UTF-8) with the arguments, each passed as one
// argument. A run still going after a minute is ended with exit code 137, failing the test.
ProcessRun run_process(const std::string& program, const std::vector<std::string>& args,
                       const ProcessOptions& options = {});

// Presses Ctrl-C in the console of the process (started with newConsole).
void send_ctrl_c(unsigned long pid);

// This test program's own path.
std::string this_program();

} // namespace skyfetch::test
