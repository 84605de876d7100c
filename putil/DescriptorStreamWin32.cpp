#include "putil/DescriptorStream.h"

#include <cerrno>
#include <io.h>

namespace skyfetch {

// The descriptor is in text mode, as a console program's standard streams are: each "\n"
// reaches a file or pipe as "\r\n".
long DescriptorStream::Buffer::write_some(int fd, const char* bytes, std::size_t size,
                                          int& error) {
    const unsigned part = size > (1u << 20) ? (1u << 20) : static_cast<unsigned>(size);
    const int n = _write(fd, bytes, part);
    if (n < 0)
        error = errno != 0 ? errno : EIO;
    else if (n == 0)
        error = EIO;
    return n;
}

} // namespace skyfetch
