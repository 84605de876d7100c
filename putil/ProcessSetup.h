#pragma once

#include <string>
#include <vector>

namespace skyfetch {

// Called first thing in main(), before any file is opened.
//
// Standard input, output and error that the process was started without are opened on
// the null device, so that no file the program opens later can take their numbers and
// receive what was meant for the terminal. A closed output is opened for reading only
// (and a closed input for writing only), so that writing to it still fails, as it would
// have: the program reports the lost output instead of pretending it arrived.
//
// A write to a closed pipe or beyond the file-size limit is reported as the failed write
// it is (EPIPE, EFBIG) instead of ending the process with SIGPIPE or SIGXFSZ.
//
// On Windows the console shows UTF-8 ("°" reads right).
void prepare_process_io();

// The program's arguments after its name, in UTF-8 (on Windows read from the wide
// command line, whatever the system's code page).
std::vector<std::string> program_arguments(int argc, char** argv);

// True when the standard stream with this number (0, 1, 2) is a terminal or console.
bool is_terminal(int stream);

// True when the calling thread is the process's only thread; false when there are others
// or they cannot be counted.
bool is_only_thread();

// The value of an environment variable in UTF-8, "" when it is not set.
std::string environment_variable(const char* name);

} // namespace skyfetch
