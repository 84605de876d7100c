#include "putil/DescriptorStream.h"

#include <cerrno>
#include <unistd.h>

namespace skyfetch {

long DescriptorStream::Buffer::write_some(int fd, const char* bytes, std::size_t size,
                                          int& error) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno != EINTR)
        error = errno;
    return n;
}

} // namespace skyfetch
