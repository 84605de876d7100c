#include "driver/SafeFileWriter.h"

#include "putil/FileSystem.h"
#include "putil/TemporaryFiles.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyfetch {
namespace {

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

// The part of a path after its last '/'.
std::string own_name(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool is_special(mode_t mode) {
    return !S_ISREG(mode) && !S_ISDIR(mode) && !S_ISLNK(mode);
}

} // namespace

SafeFileWriter::~SafeFileWriter() {
    discard();
}

void SafeFileWriter::reset(ExistingFile existing) {
    discard();
    m_ownFolder.reset();
    m_folder = nullptr;
    m_existing = existing;
    m_inPlace = false;
    m_finished = false;
    m_result = WriteResult::success();
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

// A target that is not refused for a system error but for what it is; error is the errno
// that tells a user the same in the system's words.
WriteResult SafeFileWriter::refuse(const std::string& reason, int error) {
    discard();
    if (m_result.ok())
        m_result = WriteResult::failed(WriteFailure::Open,
                                       "Could not open " + m_target + " for output: " + reason,
                                       error);
    return m_result;
}

WriteResult SafeFileWriter::open(const std::string& target, ExistingFile existing,
                                 SpecialTargets specials, const std::string& shown) {
    reset(existing);
    m_target = shown.empty() ? target : shown;
    std::string destination = target;
    bool keepAttributes = false;
    struct stat entry {};
    if (lstat(target.c_str(), &entry) == 0) {
        if (existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, m_target, 0);
        // What the name leads to decides, as it would for a plain open(): a link to a
        // folder is refused like the folder.
        struct stat current {};
        if (stat(target.c_str(), &current) == 0) {
            if (S_ISDIR(current.st_mode))
                return fail_with(WriteFailure::Open, m_target, EISDIR);
            if (is_special(current.st_mode)) {
                if (specials == SpecialTargets::Refuse)
                    return refuse("it is not a regular file", ENOTSUP);
                bool changed = false;
                const WriteResult inPlace = open_in_place(target, changed);
                if (!changed)
                    return inPlace;
                // It became a regular file meanwhile: replace it like one.
            }
            keepAttributes = true;
        }
        // The file behind a link is replaced and the link stays. The temporary file goes
        // beside that file, so the final rename never crosses file systems.
        if (S_ISLNK(entry.st_mode)) {
            int error = 0;
            if (!follow_links(target, destination, error))
                return fail_with(WriteFailure::Open, m_target, error);
        }
    } else if (errno != ENOENT) {
        return fail_with(WriteFailure::Open, m_target, errno);
    }

    m_ownFolder = std::make_unique<OutputFolder>();
    if (const int error = m_ownFolder->open(folder_of(destination)); error != 0) {
        m_ownFolder.reset();
        return fail_with(WriteFailure::Open, m_target, error);
    }
    m_folder = m_ownFolder.get();
    m_destName = own_name(destination);
    m_folder->remove_stale_temporaries();
    return open_temporary(keepAttributes);
}

WriteResult SafeFileWriter::open_in(OutputFolder& folder, const std::string& name,
                                    ExistingFile existing, const std::string& shown) {
    reset(existing);
    m_target = shown;
    m_folder = &folder;
    m_destName = name;
    int error = 0;
    switch (folder.entry_kind(name, &error)) {
    case FileKind::None:
        return open_temporary(false);
    case FileKind::Regular:
        if (existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, shown, 0);
        return open_temporary(true);
    case FileKind::Folder:
        return fail_with(WriteFailure::Open, shown, EISDIR);
    case FileKind::Link:
        return refuse("it is a symbolic link", ELOOP);
    case FileKind::Pipe:
    case FileKind::Socket:
    case FileKind::Device:
        return refuse("it is not a regular file", ENOTSUP);
    case FileKind::Unreachable:
        break;
    }
    return fail_with(WriteFailure::Open, shown, error);
}

WriteResult SafeFileWriter::open_temporary(bool keepAttributes) {
    m_fd = m_folder->create_temporary(m_tempName, m_tempTicket);
    if (m_fd < 0) {
        const int error = errno;
        m_tempName.clear();
        return fail_with(WriteFailure::Open, m_target, error);
    }
    struct stat current {};
    if (keepAttributes &&
        fstatat(m_folder->descriptor(), m_destName.c_str(), &current, 0) == 0) {
        // A replaced file keeps its permission bits and, where we may set it, its owner
        // (owner first: a change of owner clears the set-user-ID bit). Only the name is
        // kept: another hard link to the old file goes on holding the old text, the price
        // of never showing a half-written file under this name.
        if (fchown(m_fd, current.st_uid, current.st_gid) != 0) {
            // Not ours to give away; the file stays ours, as a new file would be.
        }
        if (fchmod(m_fd, current.st_mode & 07777) != 0)
            return fail_with(WriteFailure::Open, m_target, errno);
    }
    return m_result;
}

// A device or pipe cannot be swapped for a file without cutting off whoever uses it, and
// holds no earlier text to protect: the bytes go straight into it. A pipe nobody reads
// would hold the open forever, so it is opened without waiting and refused instead. The
// name is opened without truncating and looked at again through the open descriptor: if
// a regular file took the name meanwhile, it is left alone and `changed` is set.
WriteResult SafeFileWriter::open_in_place(const std::string& target, bool& changed) {
    changed = false;
    m_fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0) {
        if (errno == ENXIO)
            return refuse("it is a named pipe that nobody reads", ENXIO);
        return fail_with(WriteFailure::Open, m_target, errno);
    }
    struct stat info {};
    if (fstat(m_fd, &info) != 0)
        return fail_with(WriteFailure::Open, m_target, errno);
    if (!is_special(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        changed = true;
        return m_result;
    }
    // The reader is there: from now on a write waits for it as any writer into a pipe.
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
    // The data reach the disk through this file's own descriptor, so that a write error
    // the disk reports later is reported here, for this file, and for no other.
    if (!m_inPlace && fdatasync(m_fd) != 0)
        return fail_with(WriteFailure::Write, m_target, errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail_with(WriteFailure::Write, m_target, errno);
    m_finished = true;
    return m_result;
}

WriteResult SafeFileWriter::close_for_commit() {
    if (!m_result.ok())
        return m_result;
    if (!m_finished)
        return finish_writing();
    return m_result;
}

WriteResult SafeFileWriter::commit(CommitSync sync) {
    if (!close_for_commit().ok() || m_inPlace)
        return m_result;
    const int error = m_folder->rename(m_tempName, m_destName, m_existing == ExistingFile::Replace);
    if (error != 0) {
        if (error == EEXIST && m_existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, m_target, 0);
        return fail_with(WriteFailure::Write, m_target, error);
    }
    return moved(sync);
}

WriteResult SafeFileWriter::commit_to_first_free(const std::vector<std::string>& names,
                                                 std::string& claimed) {
    claimed.clear();
    if (!close_for_commit().ok() || m_inPlace)
        return m_result;
    for (const std::string& name : names) {
        const int error = m_folder->rename(m_tempName, own_name(name), false);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return fail_with(WriteFailure::Write, name, error);
        claimed = name;
        return moved(CommitSync::FileAndFolder);
    }
    return fail_with(WriteFailure::Exists, m_target, 0);
}

WriteResult SafeFileWriter::moved(CommitSync sync) {
    m_tempName.clear();
    forget_temporary(m_tempTicket);
    m_tempTicket = -1;
    // Makes the rename itself durable; the file is in place either way.
    if (sync == CommitSync::FileAndFolder)
        m_folder->sync();
    return m_result;
}

void SafeFileWriter::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempName.empty()) {
        m_folder->remove(m_tempName);
        m_tempName.clear();
        forget_temporary(m_tempTicket);
        m_tempTicket = -1;
    }
}

} // namespace skyfetch
