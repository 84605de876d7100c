#include "putil/FileSystem.h"

#include "putil/Win32Support.h"

#include <cerrno>
#include <vector>

namespace skyfetch {
namespace {

using win32::native_path;

FileKind kind_of_attributes(DWORD attributes, bool followed) {
    if (!followed && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return FileKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return FileKind::Device;
    return FileKind::Regular;
}

FileKind failed_kind(int* error) {
    const int code = win32::last_errno();
    if (code == ENOENT || code == ENOTDIR)
        return FileKind::None;
    if (error)
        *error = code;
    return FileKind::Unreachable;
}

// A handle on the name for asking about it, never for reading or writing: no access
// right is asked for, so nothing waits and nobody is kept out.
HANDLE query_handle(const std::string& path, bool followLinks) {
    return CreateFileW(native_path(path).c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                       nullptr);
}

FileIdentity identity_of(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return {};
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// True when a name in the path is longer than a Windows file system takes (255 UTF-16
// units). The system does not always say so itself: Wine, for one, reports such a name as
// missing, and a file would be written that cannot take its name in the end.
bool has_too_long_name(const std::wstring& path) {
    std::size_t length = 0;
    for (const wchar_t c : path) {
        length = c == L'\\' ? 0 : length + 1;
        if (length > 255)
            return true;
    }
    return false;
}

} // namespace

FileKind entry_kind(const std::string& path, int* error) {
    if (error)
        *error = 0;
    const std::wstring name = native_path(path);
    if (has_too_long_name(name)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return failed_kind(error);
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data))
        return failed_kind(error);
    return kind_of_attributes(data.dwFileAttributes, false);
}

FileKind file_kind(const std::string& path, int* error) {
    const FileKind entry = entry_kind(path, error);
    if (entry != FileKind::Link)
        return entry;
    // A reparse point (a symbolic link or a junction): what it leads to decides.
    const HANDLE handle = query_handle(path, true);
    if (handle == INVALID_HANDLE_VALUE)
        return failed_kind(error);
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return failed_kind(error);
    return kind_of_attributes(info.dwFileAttributes, true);
}

FileIdentity file_identity(const std::string& path) {
    const HANDLE handle = query_handle(path, true);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    const FileIdentity identity = identity_of(handle);
    CloseHandle(handle);
    return identity;
}

int read_whole_file(const std::string& path, std::string& text, FileIdentity* identity) {
    text.clear();
    if (file_kind(path) == FileKind::Folder)
        return EISDIR;
    const HANDLE handle = CreateFileW(native_path(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return win32::last_errno();
    if (identity)
        *identity = identity_of(handle);
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(handle, buffer, sizeof buffer, &n, nullptr)) {
            const int error = win32::last_errno();
            CloseHandle(handle);
            // A pipe whose writer is done ends like a file.
            return error == EPIPE ? 0 : error;
        }
        if (n == 0)
            break;
        text.append(buffer, n);
    }
    CloseHandle(handle);
    return 0;
}

int rename_no_replace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    if (MoveFileExW(native_path(from).c_str(), native_path(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return 0;
    return win32::last_errno();
}

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
        return {};
    std::vector<wchar_t> buffer(size + 1);
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size())
        return {};
    return win32::utf8(buffer.data(), length);
}

int make_folders(const std::string& folder) {
    const FileKind kind = file_kind(folder);
    if (kind == FileKind::Folder)
        return 0;
    if (kind != FileKind::None)
        return ENOTDIR;
    const std::string parent = folder_of(folder);
    if (parent != folder && parent != ".")
        if (const int error = make_folders(parent); error != 0)
            return error;
    if (CreateDirectoryW(native_path(folder).c_str(), nullptr))
        return 0;
    const int error = win32::last_errno();
    return error == EEXIST ? 0 : error;
}

int resolve_links(const std::string& path, std::string& resolved) {
    resolved = path;
    if (entry_kind(path) != FileKind::Link)
        return 0;
    const HANDLE handle = query_handle(path, true);
    if (handle == INVALID_HANDLE_VALUE) {
        // A dangling link: the name itself is replaced.
        return 0;
    }
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(),
                                                   static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= buffer.size())
        return win32::last_errno();
    std::wstring final(buffer.data(), length);
    // \\?\C:\x -> C:\x, \\?\UNC\server\share\x -> \\server\share\x
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final = final.substr(4);
    resolved = win32::utf8(final);
    return 0;
}

int check_writable(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(native_path(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return win32::last_errno();
    return (attributes & FILE_ATTRIBUTE_READONLY) ? EACCES : 0;
}

} // namespace skyfetch
