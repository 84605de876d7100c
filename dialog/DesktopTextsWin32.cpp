#include "dialog/DesktopTexts.h"

namespace skyfetch {

std::string ReportViewAdvice() {
    return "The file may be opened and viewed as a tab-delimited text file in a spreadsheet "
           "program such as Excel.";
}

std::string ReportViewText(const std::string& file) {
    return " to open " + file + " in Excel (if available on this computer), ";
}

std::string ReportExploreText(const std::string& folder) {
    return " to navigate to " + folder + " in an Explorer window or ";
}

const char* BrowseFilter() {
    return "Text files (*.txt)\t*.txt\tAll files (*.*)\t*.*\t";
}

std::string OutputOpenFailedMessage(const std::string& path, const std::string&) {
    return "Could not open " + path + " for output";
}

} // namespace skyfetch
