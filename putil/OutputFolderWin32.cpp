#include "putil/OutputFolder.h"

#include "putil/TemporaryFiles.h"
#include "putil/TemporaryRegistry.h"
#include "putil/Win32Support.h"

#include <cerrno>

namespace skyfetch {
namespace {

HANDLE handle_of(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

} // namespace

OutputFolder::~OutputFolder() {
    if (is_open())
        CloseHandle(handle_of(m_handle));
}

std::string OutputFolder::child(const std::string& name) const {
    return join_path(m_base, name);
}

int OutputFolder::open(const std::string& path) {
    if (is_open())
        CloseHandle(handle_of(m_handle));
    m_handle = OutputFile::kNone;
    m_path = path;
    m_base = absolute_folder(path.empty() ? "." : path);
    if (file_kind(m_base) != FileKind::Folder && file_kind(m_base) != FileKind::None)
        return ENOTDIR;
    // Held without FILE_SHARE_DELETE: while it is open, the folder can be neither renamed
    // nor removed, so every name below keeps meaning this folder.
    const HANDLE handle =
        CreateFileW(win32::native_path(m_base).c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return win32::last_errno();
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return 0;
}

FileKind OutputFolder::entry_kind(const std::string& name, int* error) const {
    return skyfetch::entry_kind(child(name), error);
}

FileIdentity OutputFolder::identity(const std::string& name) const {
    const HANDLE handle = CreateFileW(win32::native_path(child(name)).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return {};
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

int OutputFolder::create_temporary(std::string& name, OutputFile& file, int& ticket) {
    ticket = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporary_file_name();
        const std::string path = child(name);
        const temporaries::Creation creation;
        if (!creation.allowed())
            return EINTR;
        // Registered before it exists, so that no moment is left in which a console
        // event would leave it behind. FILE_SHARE_DELETE lets that cleanup remove it
        // while it is still open.
        ticket = temporaries::add(0, path);
        const HANDLE handle =
            CreateFileW(win32::native_path(path).c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file.adopt(reinterpret_cast<std::intptr_t>(handle));
            return 0;
        }
        const int error = win32::last_errno();
        forget_temporary(ticket);
        ticket = -1;
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

int OutputFolder::copy_attributes(const std::string&, OutputFile&) const {
    // A Windows file has no permission bits to keep: a new file takes the folder's access
    // rules, as any file created there does.
    return 0;
}

int OutputFolder::rename(const std::string& from, const std::string& to, bool replace) {
    // Write-through: the move is on disk when the call returns.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(win32::native_path(child(from)).c_str(), win32::native_path(child(to)).c_str(),
                    flags))
        return 0;
    return win32::last_errno();
}

void OutputFolder::remove(const std::string& name) {
    DeleteFileW(win32::native_path(child(name)).c_str());
}

int OutputFolder::sync() {
    // Every rename was written through; Windows has no flush for a folder's entries.
    return 0;
}

int OutputFolder::remove_stale_temporaries() {
    return skyfetch::remove_stale_temporaries(m_base);
}

} // namespace skyfetch
