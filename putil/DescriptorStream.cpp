#include "putil/DescriptorStream.h"

#include <algorithm>
#include <cerrno>

namespace skyfetch {

DescriptorStream::DescriptorStream(int fd, bool unbuffered) : std::ostream(nullptr) {
    m_buffer.fd = fd;
    m_buffer.unbuffered = unbuffered;
    rdbuf(&m_buffer);
}

DescriptorStream::~DescriptorStream() {
    m_buffer.pubsync();
}

bool DescriptorStream::Buffer::drain() {
    const char* from = pbase();
    const char* const to = pptr();
    while (from < to && error == 0) {
        const long n = write_some(fd, from, static_cast<std::size_t>(to - from), error);
        if (n > 0)
            from += n;
    }
    setp(data, data + sizeof data);
    return error == 0;
}

DescriptorStream::Buffer::int_type DescriptorStream::Buffer::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        if (unbuffered && !drain())
            return traits_type::eof();
    }
    return traits_type::not_eof(c);
}

std::streamsize DescriptorStream::Buffer::xsputn(const char* s, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n && error == 0) {
        const std::streamsize room = epptr() - pptr();
        if (room == 0) {
            if (!drain())
                break;
            continue;
        }
        const std::streamsize part = std::min(room, n - done);
        traits_type::copy(pptr(), s + done, static_cast<std::size_t>(part));
        pbump(static_cast<int>(part));
        done += part;
    }
    if (unbuffered && error == 0)
        drain();
    return error == 0 ? done : 0;
}

int DescriptorStream::Buffer::sync() {
    return drain() ? 0 : -1;
}

} // namespace skyfetch
