#include "SystemText.h"

#include <cerrno>
#include <cstring>

namespace skyfetch::test {

std::string no_such_file_text() {
    return std::strerror(ENOENT);
}

std::string name_too_long_text() {
    return std::strerror(ENAMETOOLONG);
}

std::string closed_pipe_text() {
    return std::strerror(EPIPE);
}

} // namespace skyfetch::test
