#include "putil/OutputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyfetch {

int OutputFile::open_special(const std::string& path, bool& notSpecial) {
    close();
    notSpecial = false;
    // Without O_TRUNC: if a regular file took the name since it was looked at, opening it
    // must not empty it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
        ::close(fd);
        notSpecial = true;
        return 0;
    }
    // The reader is there: from now on a write waits for it as any writer into a pipe.
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    m_handle = fd;
    return 0;
}

int OutputFile::write_all(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(static_cast<int>(m_handle), data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int OutputFile::sync_data() {
    return ::fdatasync(static_cast<int>(m_handle)) == 0 ? 0 : errno;
}

int OutputFile::close() {
    if (m_handle == kNone)
        return 0;
    const int fd = static_cast<int>(m_handle);
    m_handle = kNone;
    return ::close(fd) == 0 ? 0 : errno;
}

} // namespace skyfetch
