#include "putil/FileSystem.h"

#include "putil/PosixSupport.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <cstdio>
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


std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() >= (1u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

int make_folders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    const std::string parent = folder_of(folder);
    if (parent != folder && parent != ".")
        if (const int error = make_folders(parent); error != 0)
            return error;
    return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

int resolve_links(const std::string& start, std::string& resolved) {
    std::string path = start;
    // As many hops as the kernel allows before it reports a loop.
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved = path;
            return 0;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= sizeof link)
            return ENAMETOOLONG;
        // A relative link is read from the folder of the link itself.
        const std::string text(link, static_cast<std::size_t>(n));
        path = !text.empty() && text[0] == '/' ? text : folder_of(path) + "/" + text;
    }
    return ELOOP;
}

int check_writable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

} // namespace skyfetch
