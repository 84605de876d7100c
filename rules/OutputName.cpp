#include "rules/OutputName.h"

#include "putil/FileSystem.h"
#include "putil/Platform.h"

#include <string>

namespace skyfetch {

namespace {

bool is_dot_or_digit(char c) {
    return c == '.' || (c >= '0' && c <= '9');
}

} // namespace

void SplitNumberedName(const std::string& name, std::string& base, std::string& ext) {
    base.clear();
    ext.clear();
    if (name.empty())
        return;
    std::size_t pos = name.size();
    while (pos > 0) {
        const char c = name[pos - 1];
        if (is_separator(c) || c == '.')
            break;
        --pos;
    }
    if (pos == 0 || is_separator(name[pos - 1])) {
        base = name;
        return;
    }
    const std::size_t dot = pos - 1;
    ext = name.substr(dot);
    if (dot == 0)
        return; // ".txt": the whole name is the extension, there is no base
    std::size_t stop = dot;
    while (stop > 0 && is_dot_or_digit(name[stop]))
        --stop;
    base = name.substr(0, stop + 1);
}

std::vector<std::string> UniqueNameCandidates(const std::string& name, bool strip_number) {
    std::string first = name.empty() ? kDefaultOutputName : name;
    std::string base;
    std::string ext;
    SplitNumberedName(first, base, ext);
    if (strip_number)
        first = base + ext;
    std::vector<std::string> candidates{first};
    for (int i = 0; i < 100; ++i)
        candidates.push_back(base + std::to_string(i) + ext);
    return candidates;
}

void MakeUniqueName(std::string& name, bool strip_number) {
    for (std::string& candidate : UniqueNameCandidates(name, strip_number)) {
        if (!name_exists(candidate)) {
            name = std::move(candidate);
            return;
        }
    }
    name = kDefaultOutputName;
}

void EnsureExtension(std::string& name, const std::string& ext) {
    if (name.size() >= 4) {
        if (name[name.size() - 4] != '.')
            name += "." + ext;
        return;
    }
    if ((name.size() == 1 && name[0] != '.') || name.find('.') == std::string::npos)
        name += "." + ext;
}

KeptExtension KeepExtension(std::string name, const std::string& ext, int selStart, int selEnd) {
    if (name.size() == 1 && name[0] != '.') {
        name += "." + ext;
    } else {
        const std::size_t slash = last_separator(name);
        const std::size_t first = slash == std::string::npos ? 0 : slash + 1;
        int dots = 0;
        std::size_t lastDot = std::string::npos;
        for (std::size_t i = first; i < name.size(); ++i) {
            if (name[i] == '.') {
                ++dots;
                lastDot = i;
            }
        }
        if (dots >= 2 && name.compare(lastDot + 1, std::string::npos, ext) == 0)
            name.erase(lastDot);
        else if (dots == 0)
            name += "." + ext;
    }
    const int length = static_cast<int>(name.size());
    if (length < selEnd)
        selEnd = length;
    if (selEnd < selStart)
        selStart = selEnd;
    return {std::move(name), selStart, selEnd};
}

std::string StripFolder(const std::string& path) {
    const std::size_t slash = last_separator(path);
    const std::size_t root = root_length(path);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(start > root ? start : root);
}

void SplitPath(const std::string& path, std::string& name, std::string& folder) {
    folder = CurrentDirectory();
    const std::size_t slash = last_separator(path);
    if (slash == std::string::npos) {
        name = path;
        return;
    }
    name = path.substr(slash + 1);
    // The root keeps its separator: "/" ("C:\\"), never "" ("C:").
    const std::size_t root = root_length(path);
    folder = path.substr(0, slash < root ? root : slash);
}

std::string ShortenToFolder(std::string& path, const std::string& folder) {
    const std::string prefix = folder + native_separator();
    const std::size_t slash = last_separator(path);
    if (slash == std::string::npos)
        return prefix + path;
    std::string full = path;
    if (same_path_text(path.substr(0, slash + 1), prefix))
        path = path.substr(slash + 1);
    return full;
}

std::string WindowsNameProblem(const std::string& name) {
    if (name.empty())
        return {};
    for (const char c : name) {
        if (std::string("<>:\"|?*").find(c) != std::string::npos)
            return "contains \"" + std::string(1, c) +
                   "\", which Windows does not allow in a file name";
    }
    if (name.back() == '.' || name.back() == ' ')
        return std::string("ends with a ") + (name.back() == '.' ? "dot" : "space") +
               ", which Windows does not allow";
    // The device names are reserved whatever follows a dot, in any case of letters.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    bool reserved = false;
    for (const char* device : kDevices)
        reserved = reserved || stem == device;
    if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
        stem[3] >= '1' && stem[3] <= '9')
        reserved = true;
    if (reserved)
        return "is reserved on Windows for a device";
    return {};
}

std::string PlatformNameProblem(const std::string& name) {
    return kWindowsPaths ? WindowsNameProblem(name) : std::string();
}

} // namespace skyfetch
