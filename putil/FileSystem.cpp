#include "putil/FileSystem.h"

#include "putil/Platform.h"

namespace skyfetch {
namespace {

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool name_exists(const std::string& path) {
    return !path.empty() && entry_kind(path) != FileKind::None;
}

bool is_separator(char c) {
    return c == '/' || (kWindowsPaths && c == '\\');
}

std::size_t root_length(const std::string& path) {
    if (!kWindowsPaths)
        return !path.empty() && path[0] == '/' ? 1 : 0;
    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
        // \\server\share\ : the server and the share belong to the root.
        std::size_t at = 2;
        for (int part = 0; part < 2; ++part) {
            while (at < path.size() && !is_separator(path[at]))
                ++at;
            if (at < path.size())
                ++at;
        }
        return at;
    }
    if (path.size() >= 2 && is_letter(path[0]) && path[1] == ':')
        return path.size() >= 3 && is_separator(path[2]) ? 3 : 2;
    return !path.empty() && is_separator(path[0]) ? 1 : 0;
}

std::size_t last_separator(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (is_separator(path[i - 1]))
            return i - 1;
    return std::string::npos;
}

char native_separator() {
    return kWindowsPaths ? '\\' : '/';
}

bool same_path_text(const std::string& a, const std::string& b) {
    if (!kWindowsPaths)
        return a == b;
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i];
        const char y = b[i];
        if (is_separator(x) && is_separator(y))
            continue;
        // ASCII letters fold; other letters compare as written.
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (fold(x) != fold(y))
            return false;
    }
    return true;
}

bool is_absolute_path(const std::string& path) {
    const std::size_t root = root_length(path);
    if (kWindowsPaths && root > 2 && is_separator(path[0]) && is_separator(path[1]))
        return true; // a share ("\\server\share") with or without its last separator
    return root > 0 && is_separator(path[root - 1]);
}

std::string folder_of(const std::string& path) {
    const std::size_t root = root_length(path);
    std::size_t slash = path.size();
    while (slash > root && !is_separator(path[slash - 1]))
        --slash;
    if (slash <= root)
        return root > 0 ? path.substr(0, root) : std::string(".");
    // Several separators in a row count as one.
    while (slash > root + 1 && is_separator(path[slash - 2]))
        --slash;
    return path.substr(0, slash - 1 > root ? slash - 1 : root);
}

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    const char last = folder.back();
    if (is_separator(last) || (kWindowsPaths && last == ':' && root_length(folder) == 2))
        return folder + name;
    const bool slash = !kWindowsPaths || (folder.find('/') != std::string::npos &&
                                          folder.find('\\') == std::string::npos);
    return folder + (slash ? '/' : '\\') + name;
}

std::string CurrentFolder(const std::string& fallback) {
    std::string folder = CurrentDirectory();
    if (folder.empty())
        return fallback;
    if (folder.size() > root_length(folder) && is_separator(folder.back()))
        folder.pop_back();
    return folder;
}

std::string absolute_folder(const std::string& folder) {
    if (folder.empty() || is_absolute_path(folder))
        return folder;
    return folder == "." ? CurrentFolder() : join_path(CurrentFolder(), folder);
}

} // namespace skyfetch
