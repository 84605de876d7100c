#include "rules/OutputName.h"

#include "putil/FileSystem.h"

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
        if (c == '/' || c == '.')
            break;
        --pos;
    }
    if (pos == 0 || name[pos - 1] == '/') {
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
        const std::size_t slash = name.rfind('/');
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
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SplitPath(const std::string& path, std::string& name, std::string& folder) {
    folder = CurrentDirectory();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        name = path;
        return;
    }
    name = path.substr(slash + 1);
    folder = path.substr(0, slash);
    // The root has no name of its own left of the separator.
    if (folder.empty())
        folder = "/";
}

std::string ShortenToFolder(std::string& path, const std::string& folder) {
    const std::string prefix = folder + "/";
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return prefix + path;
    std::string full = path;
    if (path.compare(0, slash + 1, prefix) == 0)
        path = path.substr(slash + 1);
    return full;
}

} // namespace skyfetch
