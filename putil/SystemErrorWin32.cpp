#include "putil/SystemError.h"
#include "putil/Win32Support.h"

#include <cerrno>
#include <cstring>

namespace skyfetch {
namespace win32 {
namespace {

// The last translated Win32 error of this thread, for its text.
thread_local DWORD t_lastCode = 0;
thread_local int t_lastErrno = 0;

} // namespace

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                            result.data(), size);
    return result;
}

std::string utf8(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), result.data(), size,
                            nullptr, nullptr);
    return result;
}

std::string utf8(const std::wstring& text) {
    return utf8(text.data(), text.size());
}

std::wstring native_path(const std::string& path) {
    std::wstring result = wide(path);
    for (wchar_t& c : result)
        if (c == L'/')
            c = L'\\';
    return result;
}

int errno_of(DWORD code) {
    int error = EIO;
    switch (code) {
    case ERROR_SUCCESS:
        error = 0;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        error = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        error = EACCES;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        error = EBUSY;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        error = EEXIST;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        error = ENOSPC;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        error = ENAMETOOLONG;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
        error = EINVAL;
        break;
    case ERROR_DIRECTORY:
        error = ENOTDIR;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        error = ENOMEM;
        break;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        error = EPIPE;
        break;
    case ERROR_INVALID_HANDLE:
        error = EBADF;
        break;
    case ERROR_NOT_SUPPORTED:
        error = ENOTSUP;
        break;
    case ERROR_DIR_NOT_EMPTY:
        error = ENOTEMPTY;
        break;
    default:
        break;
    }
    t_lastCode = code;
    t_lastErrno = error;
    return error;
}

int last_errno() {
    return errno_of(GetLastError());
}

} // namespace win32

std::string system_error_text(int error) {
    if (error != 0 && error == win32::t_lastErrno && win32::t_lastCode != 0) {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, win32::t_lastCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
            reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (length > 0 && text) {
            std::string message = win32::utf8(text, length);
            LocalFree(text);
            // The system's sentence ends in ".\r\n"; messages add their own punctuation.
            while (!message.empty() &&
                   (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                    message.back() == '.'))
                message.pop_back();
            if (!message.empty())
                return message;
        }
    }
    return std::strerror(error);
}

} // namespace skyfetch
