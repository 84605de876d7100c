#include "putil/FileSystem.h"

#include "putil/FileKindPosix.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace skyfetch {

FileKind file_kind(const std::string& path, int* error) {
    struct stat info {};
    const int result = ::stat(path.c_str(), &info);
    return kind_of_stat(result, info.st_mode, error);
}

FileKind entry_kind(const std::string& path, int* error) {
    struct stat info {};
    const int result = ::lstat(path.c_str(), &info);
    return kind_of_stat(result, info.st_mode, error);
}

FileIdentity file_identity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int read_whole_file(const std::string& path, std::string& text, FileIdentity* identity) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        return error;
    }
    if (identity)
        *identity = {static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino)};
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            return error;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return 0;
}

int rename_no_replace_at(int folder, const char* from, const char* to) {
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    if (::linkat(folder, from, folder, to, 0) != 0)
        return errno;
    ::unlinkat(folder, from, 0);
    return 0;
}

int rename_no_replace(const std::string& from, const std::string& to) {
    return rename_no_replace_at(AT_FDCWD, from.c_str(), to.c_str());
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
