#include "driver/TextModeSink.h"

#include "putil/Platform.h"

#include <cstring>

namespace skyfetch {

bool TextModeSink::write(const char* data, std::size_t size) {
    if (std::strcmp(kTextLineEnd, "\n") == 0)
        return m_file.write(data, size);
    m_converted.clear();
    m_converted.reserve(size + size / 32);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            m_converted += kTextLineEnd;
        else
            m_converted += data[i];
    }
    return m_file.write(m_converted.data(), m_converted.size());
}

} // namespace skyfetch
