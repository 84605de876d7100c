#include "putil/OutputFile.h"

namespace skyfetch {

OutputFile::~OutputFile() {
    close();
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        other.m_handle = kNone;
    }
    return *this;
}

} // namespace skyfetch
