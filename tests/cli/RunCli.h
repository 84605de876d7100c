#pragma once

#include <functional>
#include <string>
#include <vector>

namespace skyfetch::test {

// What one run of skyfetch-cli left behind.
struct CliRun {
    int status = -1; // exit status, or 128 + signal number
    std::string out;
    std::string err;
};

// Runs the built skyfetch-cli with the arguments in the folder `folder`. A non-zero
// fileSizeLimit caps the size of every file the child writes (as `ulimit -f` does),
// with SIGXFSZ ignored so that an oversized write fails with EFBIG instead of killing it.
// A non-empty stdoutFile receives standard output instead of the capture (out stays empty).
// With signalWhen, `signal` is sent to the run as soon as signalWhen() turns true (it is
// asked every millisecond). A run still going after a minute is killed (status 137): a
// hang fails the test.
CliRun run_cli(const std::vector<std::string>& args, const std::string& folder,
               long fileSizeLimit = 0, const std::string& stdoutFile = {},
               const std::function<bool()>& signalWhen = {}, int signal = 0);

} // namespace skyfetch::test
