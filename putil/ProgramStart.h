#pragma once

// POSIX only: starting a program that goes on running on its own.

#include <chrono>
#include <string>
#include <vector>

namespace skyfetch {

// The full path of program (a bare name) in the folders of $PATH that the process may
// execute, or "" when there is none. A name with a '/' is returned as it is when
// executable.
std::string FindOnPath(const std::string& program);

enum class StartOutcome {
    NotFound,      // no such program on PATH
    FailedAtOnce,  // it could not be executed, or ended with an error within the wait
    Started,       // still running after the wait, or ended successfully within it
};

// Starts arguments[0] (looked up on PATH) with the rest as its arguments, its standard
// input from /dev/null, in a session of its own, with default handling of the signals this
// process may ignore, and watches it for up to wait: one that ends within that time with
// an error (or could not be executed) has failed at once; one that ends without an error
// or is still running has taken the request and is left to run on its own.
StartOutcome StartProgram(const std::vector<std::string>& arguments,
                          std::chrono::milliseconds wait);

} // namespace skyfetch
