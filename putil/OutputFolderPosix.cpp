#include "putil/OutputFolder.h"

#include "putil/FileKindPosix.h"
#include "putil/TemporaryFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyfetch {

OutputFolder::~OutputFolder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

int OutputFolder::open(const std::string& path) {
    if (m_fd >= 0)
        ::close(m_fd);
    m_path = path;
    m_fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return m_fd >= 0 ? 0 : errno;
}

FileKind OutputFolder::entry_kind(const std::string& name, int* error) const {
    struct stat info {};
    const int result = ::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW);
    return kind_of_stat(result, info.st_mode, error);
}

FileIdentity OutputFolder::identity(const std::string& name) const {
    struct stat info {};
    if (::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int OutputFolder::create_temporary(std::string& name, int& ticket) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporary_file_name();
        // 0666 lets the umask decide the permissions, as for any plainly created file.
        const int fd = create_temporary_at(m_fd, name.c_str(), O_WRONLY | O_EXCL | O_CLOEXEC,
                                           0666, ticket);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

int OutputFolder::rename(const std::string& from, const std::string& to, bool replace) {
    if (replace)
        return ::renameat(m_fd, from.c_str(), m_fd, to.c_str()) == 0 ? 0 : errno;
    return rename_no_replace_at(m_fd, from.c_str(), to.c_str());
}

void OutputFolder::remove(const std::string& name) {
    ::unlinkat(m_fd, name.c_str(), 0);
}

int OutputFolder::sync() {
    return ::fsync(m_fd) == 0 ? 0 : errno;
}

int OutputFolder::remove_stale_temporaries() {
    return skyfetch::remove_stale_temporaries_at(m_fd);
}

} // namespace skyfetch
