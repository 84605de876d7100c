#include "putil/WorkingFolder.h"

#include "putil/Win32Support.h"

#include <cerrno>

namespace skyfetch {

int change_directory(const std::string& folder) {
    if (folder.empty())
        return ENOENT;
    // The wide call: the folder may hold any character, whatever the ANSI code page.
    return SetCurrentDirectoryW(win32::native_path(folder).c_str()) ? 0 : win32::last_errno();
}

} // namespace skyfetch
