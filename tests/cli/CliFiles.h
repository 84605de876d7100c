#pragma once

// What the cli tests read back: lines of the standard streams and of the files written,
// and the names in a folder.

#include "putil/Platform.h"

#include "TempFolder.h"
#include "TextFiles.h"

#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace skyfetch::test {

// What joins a batch's output folder and a file's name in messages (Windows: '\\').
inline const std::string kSeparator = kWindowsPaths ? "\\" : "/";

// The lines of a text whose lines end in "\n" (the standard streams as run_cli gives them).
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// The lines of a text file the program wrote, each ending as a text file's line ends on
// this platform (kTextLineEnd); a line ended otherwise stays joined to the next.
inline std::vector<std::string> file_lines(const std::string& path) {
    const std::string text = read_text(fs_path(path));
    const std::string end = kTextLineEnd;
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t at = text.find(end, from);
        lines.push_back(text.substr(from, at == std::string::npos ? at : at - from));
        from = at == std::string::npos ? text.size() : at + end.size();
    }
    return lines;
}

inline std::vector<std::string> fields_of(const std::string& line, char separator = '\t') {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, separator))
        fields.push_back(field);
    return fields;
}

// The names in a folder.
inline std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(fs_path(folder)))
        names.insert(utf8_of(entry.path().filename()));
    return names;
}

// How many of them are temporary files of the program.
inline int temporaries(const std::string& folder) {
    int count = 0;
    for (const std::string& name : entries(folder))
        count += name.rfind(".skyfetch-", 0) == 0;
    return count;
}

// Everything after the creation line.
inline std::string without_date(const std::string& text) {
    return text.substr(text.find('\n'));
}

// A batch table of `count` rows for one cell.
inline std::string sites(int count, int spinup = 20) {
    std::string table = "name,lon,lat,spinup,scenario\n";
    for (int i = 0; i < count; ++i)
        table += "s" + std::to_string(i) + ",13.25,55.75," + std::to_string(spinup) + ",10\n";
    return table;
}

// True once a batch has put `count` files of its own under their names in out/.
inline std::function<bool()> files_in_out(int count) {
    return [count] {
        if (!std::filesystem::is_directory("out"))
            return false;
        return static_cast<int>(entries("out").size()) - temporaries("out") >= count;
    };
}

} // namespace skyfetch::test
