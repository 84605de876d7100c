#include "putil/WorkingFolder.h"

#include <cerrno>
#include <unistd.h>

namespace skyfetch {

int change_directory(const std::string& folder) {
    if (folder.empty())
        return ENOENT;
    return ::chdir(folder.c_str()) == 0 ? 0 : errno;
}

} // namespace skyfetch
