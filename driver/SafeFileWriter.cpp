#include "driver/SafeFileWriter.h"

#include "putil/FileSystem.h"
#include "putil/TemporaryFiles.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyfetch {
namespace {

// A name that no other writer is likely to pick; O_EXCL settles the rare collision.
std::string random_suffix() {
    static std::uint64_t counter = 0;
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        bits = static_cast<std::uint64_t>(now) * 0x9E3779B97F4A7C15ULL ^
               (static_cast<std::uint64_t>(getpid()) << 32) ^ ++counter;
    }
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 10; ++i) {
        suffix += kAlphabet[bits % 36];
        bits /= 36;
    }
    return suffix;
}

// Moves from onto to without ever replacing a file at `to`. Where the file system has no
// atomic no-replace rename, a hard link (which fails if the name exists) does the same.
int rename_no_replace(const char* from, const char* to) {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return -1;
    if (link(from, to) != 0)
        return -1;
    unlink(from);
    return 0;
}

// Follows `path` through symbolic links, as open() would, to the name that is finally
// written: the file the links lead to, or the missing name a dangling link names. Each
// relative link is read from the folder of the link itself.
bool follow_links(std::string path, std::string& resolved, int& error) {
    // As many hops as the kernel allows before it reports a loop.
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved = path;
            return true;
        }
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link);
        if (n < 0) {
            error = errno;
            return false;
        }
        if (static_cast<std::size_t>(n) >= sizeof link) {
            error = ENAMETOOLONG;
            return false;
        }
        const std::string text(link, static_cast<std::size_t>(n));
        path = !text.empty() && text[0] == '/' ? text : folder_of(path) + "/" + text;
    }
    error = ELOOP;
    return false;
}

} // namespace

void sync_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd); // makes the rename itself durable; the file is in place either way
        ::close(fd);
    }
}

WriteResult sync_file_system(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || syncfs(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        return WriteResult::failed(WriteFailure::Write,
                                   "Could not write the files in " + folder + ": " +
                                       std::strerror(error));
    }
    ::close(fd);
    return WriteResult::success();
}

SafeFileWriter::~SafeFileWriter() {
    discard();
}

WriteResult SafeFileWriter::fail_with(WriteFailure why, const std::string& what, int error) {
    std::string text;
    switch (why) {
    case WriteFailure::Open:
        text = "Could not open " + what + " for output";
        break;
    case WriteFailure::Exists:
        text = what + " already exists";
        break;
    default:
        text = "Could not write " + what;
        break;
    }
    if (error)
        text += std::string(": ") + std::strerror(error);
    discard();
    if (m_result.ok())
        m_result = WriteResult::failed(why, text, error);
    return m_result;
}

WriteResult SafeFileWriter::refuse(const std::string& what, const std::string& reason) {
    discard();
    if (m_result.ok())
        m_result = WriteResult::failed(WriteFailure::Open,
                                       "Could not open " + what + " for output: " + reason);
    return m_result;
}

WriteResult SafeFileWriter::open(const std::string& target, ExistingFile existing,
                                 TargetLinks links) {
    discard();
    m_target = target;
    m_destination = target;
    m_existing = existing;
    m_inPlace = false;
    m_finished = false;
    m_result = WriteResult::success();

    bool keepMode = false;
    struct stat current {};
    struct stat entry {};
    if (lstat(target.c_str(), &entry) == 0) {
        if (existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, target, 0);
        if (links == TargetLinks::Refuse && S_ISLNK(entry.st_mode))
            return refuse(target, "it is a symbolic link");
        if (links == TargetLinks::Refuse && !S_ISREG(entry.st_mode) && !S_ISDIR(entry.st_mode))
            return refuse(target, "it is not a regular file");
        // What the name leads to decides, as it would for a plain open(): a link to a
        // folder is refused like the folder.
        if (stat(target.c_str(), &current) == 0) {
            if (S_ISDIR(current.st_mode))
                return fail_with(WriteFailure::Open, target, EISDIR);
            if (!S_ISREG(current.st_mode))
                return open_in_place();
            keepMode = true;
        }
        // The file behind a link is replaced and the link stays. The temporary file goes
        // beside that file, so the final rename never crosses file systems.
        if (S_ISLNK(entry.st_mode)) {
            int error = 0;
            if (!follow_links(target, m_destination, error))
                return fail_with(WriteFailure::Open, target, error);
        }
    }

    const std::string folder = folder_of(m_destination);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = folder + "/.skyfetch-" + random_suffix() + ".tmp";
        // Removed again if SIGTERM, SIGINT or SIGHUP ends the process. 0666 lets the
        // umask decide the permissions, as for any plainly created file.
        m_fd = create_temporary(candidate.c_str(), O_WRONLY | O_EXCL | O_CLOEXEC, 0666,
                                m_tempTicket);
        if (m_fd >= 0) {
            m_tempPath = candidate;
            break;
        }
        if (errno != EEXIST)
            return fail_with(WriteFailure::Open, target, errno);
    }
    if (m_fd < 0)
        return fail_with(WriteFailure::Open, target, EEXIST);
    if (keepMode) {
        // A replaced file keeps its permission bits and, where we may set it, its owner
        // (owner first: a change of owner clears the set-user-ID bit). Only the name is
        // kept: another hard link to the old file goes on holding the old text, the price
        // of never showing a half-written file under this name.
        if (fchown(m_fd, current.st_uid, current.st_gid) != 0) {
            // Not ours to give away; the file stays ours, as a new file would be.
        }
        if (fchmod(m_fd, current.st_mode & 07777) != 0)
            return fail_with(WriteFailure::Open, target, errno);
    }
    return m_result;
}

// A device or pipe cannot be swapped for a file without cutting off whoever uses it, and
// holds no earlier text to protect: the bytes go straight into it. A pipe nobody reads
// would hold the open forever, so it is opened without waiting and refused instead.
WriteResult SafeFileWriter::open_in_place() {
    m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        if (errno == ENXIO)
            return refuse(m_target, "it is a named pipe that nobody reads");
        return fail_with(WriteFailure::Open, m_target, errno);
    }
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags < 0 || fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return fail_with(WriteFailure::Open, m_target, errno);
    m_inPlace = true;
    return m_result;
}

bool SafeFileWriter::write(const char* data, std::size_t size) {
    if (m_fd < 0 || !m_result.ok())
        return false;
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail_with(WriteFailure::Write, m_target, errno);
            return false;
        }
        if (n == 0) {
            fail_with(WriteFailure::Write, m_target, EIO);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

WriteResult SafeFileWriter::finish_writing() {
    if (!m_result.ok() || m_finished)
        return m_result;
    if (m_fd < 0)
        return fail_with(WriteFailure::Write, m_target, EBADF);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail_with(WriteFailure::Write, m_target, errno);
    m_finished = true;
    return m_result;
}

WriteResult SafeFileWriter::commit(CommitSync sync) {
    if (!m_result.ok())
        return m_result;
    if (m_finished) {
        if (m_inPlace)
            return m_result;
        if (sync == CommitSync::FileAndFolder) {
            // Finished without a flush: open it once more for the flush to disk.
            const int fd = ::open(m_tempPath.c_str(), O_RDONLY | O_CLOEXEC);
            const bool synced = fd >= 0 && fsync(fd) == 0;
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            if (!synced)
                return fail_with(WriteFailure::Write, m_target, error);
        }
        return move_into_place(sync);
    }
    if (m_fd < 0)
        return fail_with(WriteFailure::Write, m_target, EBADF);
    if (m_inPlace) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return fail_with(WriteFailure::Write, m_target, errno);
        return m_result;
    }
    if (sync == CommitSync::FileAndFolder && fsync(m_fd) != 0)
        return fail_with(WriteFailure::Write, m_target, errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail_with(WriteFailure::Write, m_target, errno);
    return move_into_place(sync);
}

WriteResult SafeFileWriter::move_into_place(CommitSync sync) {
    const bool moved = m_existing == ExistingFile::Keep
                           ? rename_no_replace(m_tempPath.c_str(), m_target.c_str()) == 0
                           : std::rename(m_tempPath.c_str(), m_destination.c_str()) == 0;
    if (!moved) {
        const int error = errno;
        if (error == EEXIST && m_existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, m_target, 0);
        return fail_with(WriteFailure::Write, m_target, error);
    }
    m_tempPath.clear();
    forget_temporary(m_tempTicket);
    m_tempTicket = -1;
    if (sync == CommitSync::FileAndFolder)
        sync_folder(folder_of(m_destination));
    return m_result;
}

void SafeFileWriter::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
        forget_temporary(m_tempTicket);
        m_tempTicket = -1;
    }
}

} // namespace skyfetch
