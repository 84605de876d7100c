#include "dialog/Launcher.h"

namespace skyfetch {

std::string NoViewerMessage(const std::string& path) {
    return "No spreadsheet program or other viewer could be started for\n" + path +
           "\nPlease open the file by hand; it is a tab-delimited text file.";
}

std::string NoFileManagerMessage(const std::string& folder) {
    return "No file manager could be started to show the folder\n" + folder +
           "\nPlease open the folder by hand.";
}

} // namespace skyfetch
