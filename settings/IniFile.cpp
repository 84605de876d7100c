#include "settings/IniFile.h"

#include "driver/SafeFileWriter.h"
#include "putil/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace skyfetch {
namespace {

struct Line {
    std::string text;   // as in the file, without the line end
    bool hasCr = false; // the line ended with CR LF
};

struct Content {
    std::vector<Line> lines;
    bool endsWithNewline = true; // the last line had a line end (or the file is empty)
    bool crlf = false;           // the file's lines end with CR LF
};

// Reads a regular file only: a pipe or device put where a profile belongs could hold the
// program forever, and is no profile.
bool read_content(const std::string& path, Content& content) {
    if (file_kind(path) != FileKind::Regular)
        return false;
    std::string all;
    if (read_whole_file(path, all) != 0)
        return false;
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = all.size();
        Line line;
        line.text = all.substr(start, end - start);
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.hasCr = true;
        }
        content.lines.push_back(std::move(line));
        if (last) {
            content.endsWithNewline = false;
            break;
        }
        start = end + 1;
    }
    // Lines we add, and a last line that gets a line end because we add after it, end
    // the way the file's own lines do.
    for (const Line& line : content.lines)
        content.crlf = content.crlf || line.hasCr;
    if (!content.endsWithNewline)
        content.lines.back().hasCr = content.crlf;
    return true;
}

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// "[name]" (blanks allowed around it) gives name. A line that only starts with '['
// ("[x]=1") is a key line of the section it stands in, not a section of its own.
std::optional<std::string_view> section_name(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return std::nullopt;
    return trim(t.substr(1, t.size() - 2));
}

bool is_comment(std::string_view line) {
    const std::string_view t = trim(line);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

// For "key=value" lines: the key (trimmed) and the position of the '='.
std::optional<std::size_t> key_line(std::string_view line, std::string_view key) {
    if (is_comment(line))
        return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    if (!same_name(trim(line.substr(0, eq)), key))
        return std::nullopt;
    return eq;
}

struct Found {
    std::optional<std::size_t> sectionLine; // the [section] line
    std::optional<std::size_t> keyLine;     // the key's line within it
    std::size_t lastEntryLine = 0;          // last non-blank line of the section
};

Found find_key(const Content& content, std::string_view section, std::string_view key) {
    Found found;
    bool inSection = false;
    for (std::size_t i = 0; i < content.lines.size(); ++i) {
        const std::string& text = content.lines[i].text;
        if (const auto name = section_name(text)) {
            if (inSection)
                break; // only the first section of that name counts
            if (same_name(*name, section)) {
                inSection = true;
                found.sectionLine = i;
                found.lastEntryLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!trim(text).empty())
            found.lastEntryLine = i;
        if (!found.keyLine && key_line(text, key))
            found.keyLine = i;
    }
    return found;
}

// The new content replaces the file the way a driver file is written: a failure
// halfway (a full disk) cannot leave a shared profile cut short, and a symbolic link
// stays in place with the file it leads to replaced.
bool replace_file(const std::string& path, const std::string& data) {
    SafeFileWriter writer;
    if (!writer.open(path, ExistingFile::Replace))
        return false;
    writer.write(data.data(), data.size());
    return writer.commit().ok();
}

} // namespace

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    Content content;
    if (!read_content(m_path, content))
        return std::nullopt;
    const Found found = find_key(content, section, key);
    if (!found.keyLine)
        return std::nullopt;
    const std::string& text = content.lines[*found.keyLine].text;
    return text.substr(text.find('=') + 1);
}

bool IniFile::set_value(std::string_view section, std::string_view key,
                        std::string_view value) const {
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return false;
    Content content;
    if (!read_content(m_path, content)) {
        // A file that exists but cannot be read must not be replaced by our one line.
        if (file_kind(m_path) != FileKind::None || make_folders(folder_of(m_path)) != 0)
            return false;
    }

    Line entry;
    entry.text = std::string(key) + "=" + std::string(value);
    entry.hasCr = content.crlf;
    const Found found = find_key(content, section, key);
    if (found.keyLine) {
        Line& line = content.lines[*found.keyLine];
        // Keep the key's spelling and anything before the '=' as the file has it.
        line.text = line.text.substr(0, line.text.find('=') + 1) + std::string(value);
    } else if (found.sectionLine) {
        content.lines.insert(content.lines.begin() + std::ptrdiff_t(found.lastEntryLine + 1),
                             entry);
        if (found.lastEntryLine + 1 == content.lines.size() - 1)
            content.endsWithNewline = true;
    } else {
        if (!content.lines.empty() && !trim(content.lines.back().text).empty())
            content.lines.push_back(Line{{}, content.crlf});
        content.lines.push_back(Line{"[" + std::string(section) + "]", content.crlf});
        content.lines.push_back(entry);
        content.endsWithNewline = true;
    }

    std::string data;
    for (std::size_t i = 0; i < content.lines.size(); ++i) {
        data += content.lines[i].text;
        const bool last = i + 1 == content.lines.size();
        if (!last || content.endsWithNewline)
            data += content.lines[i].hasCr ? "\r\n" : "\n";
    }
    return replace_file(m_path, data);
}

} // namespace skyfetch
