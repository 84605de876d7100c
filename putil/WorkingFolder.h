#pragma once

#include <string>

namespace skyfetch {

// Makes folder the process's current directory, the program's output folder: 0, or the
// errno of the failure (ENOENT, ENOTDIR, EACCES, ...). The path is UTF-8; on Windows it
// may use '/' or '\' and name a drive or share.
int change_directory(const std::string& folder);

} // namespace skyfetch
