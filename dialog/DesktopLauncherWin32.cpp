#include "dialog/Launcher.h"

#include "putil/FileSystem.h"
#include "putil/ShellRequest.h"

namespace skyfetch {

bool DesktopLauncher::OpenInSpreadsheet(const std::string& given) {
    const std::string path = absolute_folder(given);
    // Excel first, as the report says; then whatever program the file type is registered
    // with.
    return shell_execute("open", "excel", quoted_argument(path)) || shell_execute("open", path);
}

bool DesktopLauncher::ExploreFolder(const std::string& folder) {
    return shell_execute("explore", absolute_folder(folder));
}

} // namespace skyfetch
