#include "dialog/Launcher.h"

#include "putil/FileSystem.h"
#include "putil/ProgramStart.h"

namespace skyfetch {
namespace {

// A path as a program's argument: absolute, so that a relative name starting with '-' is
// never read as an option (not every program tried here knows "--").
std::string PathArgument(const std::string& path) {
    const std::string full = absolute_folder(path);
    // Still relative only when the current directory cannot be read.
    return !full.empty() && full[0] == '-' ? "./" + full : full;
}

// Tries the candidates in order; the first one that takes the request ends the search.
bool StartFirst(const std::vector<std::vector<std::string>>& candidates,
                std::chrono::milliseconds wait) {
    for (const std::vector<std::string>& arguments : candidates)
        if (StartProgram(arguments, wait) == StartOutcome::Started)
            return true;
    return false;
}

} // namespace

bool DesktopLauncher::OpenInSpreadsheet(const std::string& given) {
    const std::string path = PathArgument(given);
    return StartFirst({{"libreoffice", "--calc", path},
                       {"localc", path},
                       {"gnumeric", path},
                       {"xdg-open", path}},
                      m_earlyExitWait);
}

bool DesktopLauncher::ExploreFolder(const std::string& folder) {
    return StartFirst({{"xdg-open", PathArgument(folder)}}, m_earlyExitWait);
}

} // namespace skyfetch
