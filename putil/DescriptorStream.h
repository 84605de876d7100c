#pragma once

#include <ostream>
#include <streambuf>

namespace skyfetch {

// A buffered output stream onto an open file descriptor (standard output, standard
// error) that keeps the system's reason for the first failed write: once a write has
// failed the stream is bad and error() says why (EPIPE, ENOSPC, EBADF, ...).
class DescriptorStream : public std::ostream {
public:
    // unbuffered: every output goes out at once (for standard error, which the progress
    // line shares).
    DescriptorStream(int fd, bool unbuffered);
    ~DescriptorStream() override;

    // The errno of the first failed write, 0 while none failed.
    int error() const { return m_buffer.error; }

private:
    struct Buffer : std::streambuf {
        int fd = -1;
        int error = 0;
        bool unbuffered = false;
        char data[8192];
        Buffer() { setp(data, data + sizeof data); }
        bool drain();
        // Writes some of the bytes: how many, or -1 with error set (per platform).
        static long write_some(int fd, const char* bytes, std::size_t size, int& error);
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;
    };
    Buffer m_buffer;
};

} // namespace skyfetch
