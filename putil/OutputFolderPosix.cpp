#include "putil/OutputFolder.h"

#include "putil/PosixSupport.h"
#include "putil/TemporaryFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyfetch {
namespace {

int fd_of(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

OutputFolder::~OutputFolder() {
    if (is_open())
        ::close(fd_of(m_handle));
}

int OutputFolder::open(const std::string& path) {
    if (is_open())
        ::close(fd_of(m_handle));
    m_path = path;
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_handle = fd >= 0 ? fd : OutputFile::kNone;
    return fd >= 0 ? 0 : errno;
}

FileKind OutputFolder::entry_kind(const std::string& name, int* error) const {
    struct stat info {};
    const int result = ::fstatat(fd_of(m_handle), name.c_str(), &info, AT_SYMLINK_NOFOLLOW);
    return kind_of_stat(result, info.st_mode, error);
}

FileIdentity OutputFolder::identity(const std::string& name) const {
    struct stat info {};
    if (::fstatat(fd_of(m_handle), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int OutputFolder::create_temporary(std::string& name, OutputFile& file, int& ticket) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporary_file_name();
        // 0666 lets the umask decide the permissions, as for any plainly created file.
        const int fd = create_temporary_at(fd_of(m_handle), name.c_str(),
                                           O_WRONLY | O_EXCL | O_CLOEXEC, 0666, ticket);
        if (fd >= 0) {
            file.adopt(fd);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int OutputFolder::copy_attributes(const std::string& from, OutputFile& file) const {
    struct stat current {};
    if (::fstatat(fd_of(m_handle), from.c_str(), &current, 0) != 0)
        return 0; // nothing to keep
    const int fd = static_cast<int>(file.native());
    // Owner first: a change of owner clears the set-user-ID bit.
    if (::fchown(fd, current.st_uid, current.st_gid) != 0) {
        // Not ours to give away; the file stays ours, as a new file would be.
    }
    return ::fchmod(fd, current.st_mode & 07777) == 0 ? 0 : errno;
}

int OutputFolder::rename(const std::string& from, const std::string& to, bool replace) {
    const int fd = fd_of(m_handle);
    if (replace)
        return ::renameat(fd, from.c_str(), fd, to.c_str()) == 0 ? 0 : errno;
    return rename_no_replace_at(fd, from.c_str(), to.c_str());
}

void OutputFolder::remove(const std::string& name) {
    ::unlinkat(fd_of(m_handle), name.c_str(), 0);
}

int OutputFolder::sync() {
    return ::fsync(fd_of(m_handle)) == 0 ? 0 : errno;
}

int OutputFolder::remove_stale_temporaries() {
    return remove_stale_temporaries_at(fd_of(m_handle));
}

} // namespace skyfetch
