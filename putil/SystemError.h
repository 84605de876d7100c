#pragma once

#include <string>

namespace skyfetch {

// Errors are errno values everywhere in the program (ENOENT, EEXIST, ...), whatever the
// system reported: the Win32 layer translates its error codes.

// The system's own words for an error, as messages show them after the name: strerror()
// on Linux; on Windows the text FormatMessage gives for the Win32 error behind it, when
// the failure happened on this thread just before, else the C library's text.
std::string system_error_text(int error);

} // namespace skyfetch
