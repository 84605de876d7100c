#include "putil/DescriptorStream.h"

#include "putil/Win32Support.h"

#include <cerrno>
#include <cstdlib>
#include <io.h>

namespace skyfetch {

// The descriptor is in text mode, as a console program's standard streams are: each "\n"
// reaches a file or pipe as "\r\n".
long DescriptorStream::Buffer::write_some(int fd, const char* bytes, std::size_t size,
                                          int& error) {
    const unsigned part = size > (1u << 20) ? (1u << 20) : static_cast<unsigned>(size);
    _doserrno = 0;
    const int n = _write(fd, bytes, part);
    // The system's own error when it refused the write (a closed pipe is ERROR_NO_DATA,
    // which the C library calls "Invalid argument"), so that the message gives its words.
    if (n < 0 && _doserrno != 0)
        error = win32::errno_of(static_cast<DWORD>(_doserrno));
    else if (n < 0)
        error = errno != 0 ? errno : EIO;
    else if (n == 0)
        error = EIO;
    return n;
}

} // namespace skyfetch
