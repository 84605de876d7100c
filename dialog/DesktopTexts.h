#pragma once

#include <string>

namespace skyfetch {

// The window's texts that speak of the desktop around it: the programs the report offers
// and the file dialog's patterns. On Windows they name Excel and Explorer, and "*.*"
// lists every file; on Linux they name a spreadsheet program such as LibreOffice Calc and
// the file manager, and "*" lists every file ("*.*" would hide names without a dot).

// The report's sentence on how the file can be viewed.
std::string ReportViewAdvice();
// The report's run after the bold "View": " to open <file> in ..., ".
std::string ReportViewText(const std::string& file);
// The report's run after the bold "Explore": " to ... <folder> ... or ".
std::string ReportExploreText(const std::string& folder);

// The output file dialog's filter: description and pattern pairs, each ended by '\t'.
const char* BrowseFilter();

// The message when "Generate file" cannot create the driver file under path after the
// name check let it pass; reason is the system's text ("" when there is none).
std::string OutputOpenFailedMessage(const std::string& path, const std::string& reason);

} // namespace skyfetch
