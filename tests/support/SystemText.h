#pragma once

// The system's own words for a failure, as the program's messages show them after a
// name: strerror on POSIX, FormatMessage on Windows (without the closing period).

#include <string>

namespace skyfetch::test {

// A name, or a folder on its path, that does not exist (ENOENT, ERROR_FILE_NOT_FOUND).
std::string no_such_file_text();
// A name longer than the file system takes (ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE).
std::string name_too_long_text();
// A pipe whose reader has gone (EPIPE, ERROR_NO_DATA).
std::string closed_pipe_text();

} // namespace skyfetch::test
