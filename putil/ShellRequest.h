#pragma once

// Windows only: requests to the shell, which finds the program for them.

#include <string>

namespace skyfetch {

// Asks the shell to carry out verb ("open", "explore") on file, with parameters for the
// program the file names; true when a program took the request. Nothing is waited for
// beyond the shell's own answer.
bool shell_execute(const std::string& verb, const std::string& file,
                   const std::string& parameters = {});

// A path as one argument of a Windows command line: in double quotes, with the quotes and
// backslashes escaped as programs read them back.
std::string quoted_argument(const std::string& argument);

} // namespace skyfetch
