#include "putil/FileSystem.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace skyfetch {
namespace {

FileKind kind_of(int result, const struct stat& info) {
    if (result != 0)
        // A name that is not there (or whose folder is not) is free; any other refusal
        // (no permission to look, a name too long) leaves the name unusable, not free.
        return errno == ENOENT || errno == ENOTDIR ? FileKind::None : FileKind::Other;
    if (S_ISREG(info.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(info.st_mode))
        return FileKind::Folder;
    if (S_ISLNK(info.st_mode))
        return FileKind::Link;
    return FileKind::Other;
}

} // namespace

FileKind file_kind(const std::string& path) {
    struct stat info {};
    const int result = ::stat(path.c_str(), &info);
    return kind_of(result, info);
}

FileKind entry_kind(const std::string& path) {
    struct stat info {};
    const int result = ::lstat(path.c_str(), &info);
    return kind_of(result, info);
}

bool name_exists(const std::string& path) {
    return !path.empty() && entry_kind(path) != FileKind::None;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() >= (1u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string CurrentFolder(const std::string& fallback) {
    std::string folder = CurrentDirectory();
    if (folder.empty())
        return fallback;
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string absolute_folder(const std::string& folder) {
    if (folder.empty() || folder[0] == '/')
        return folder;
    return folder == "." ? CurrentFolder() : join_path(CurrentFolder(), folder);
}

locale_t c_locale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace skyfetch
