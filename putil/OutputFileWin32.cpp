#include "putil/OutputFile.h"

#include "putil/Win32Support.h"

#include <cerrno>

namespace skyfetch {
namespace {

HANDLE handle_of(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

} // namespace

int OutputFile::open_special(const std::string& path, bool& notSpecial) {
    close();
    notSpecial = false;
    // OPEN_EXISTING and no truncation: a file that took the name is not emptied.
    const HANDLE handle =
        CreateFileW(win32::native_path(path).c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const int error = win32::last_errno();
        // A pipe server that is not there to read.
        return GetLastError() == ERROR_PIPE_BUSY ? ENXIO : error;
    }
    if (GetFileType(handle) == FILE_TYPE_DISK) {
        CloseHandle(handle);
        notSpecial = true;
        return 0;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return 0;
}

int OutputFile::write_all(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD part = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handle_of(m_handle), data, part, &written, nullptr))
            return win32::last_errno();
        if (written == 0)
            return EIO;
        data += written;
        size -= written;
    }
    return 0;
}

int OutputFile::sync_data() {
    return FlushFileBuffers(handle_of(m_handle)) ? 0 : win32::last_errno();
}

int OutputFile::close() {
    if (m_handle == kNone)
        return 0;
    const HANDLE handle = handle_of(m_handle);
    m_handle = kNone;
    return CloseHandle(handle) ? 0 : win32::last_errno();
}

} // namespace skyfetch
