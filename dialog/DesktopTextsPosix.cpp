#include "dialog/DesktopTexts.h"

#include "rules/OutputFileCheck.h"

namespace skyfetch {

std::string ReportViewAdvice() {
    return "The file may be opened and viewed as a tab-delimited text file in a spreadsheet "
           "program such as LibreOffice Calc.";
}

std::string ReportViewText(const std::string& file) {
    return " to open " + file + " in a spreadsheet program (if one is installed), ";
}

std::string ReportExploreText(const std::string& folder) {
    return " to show " + folder + " in the file manager or ";
}

const char* BrowseFilter() {
    return "Text files (*.txt)\t*.txt\tAll files (*)\t*\t";
}

std::string OutputOpenFailedMessage(const std::string& path, const std::string& reason) {
    return CouldNotOpenMessage(path, reason);
}

} // namespace skyfetch
