#pragma once

#include <cstdint>
#include <string>

namespace skyfetch {

// The small file-system helpers every part of the program shares. Asking what a name is
// never opens it for reading or writing: that must never block on a pipe or a device.
// Paths are UTF-8; on Windows '\' and '/' both separate folders (see Platform.h).

// What a name in the file system is.
enum class FileKind {
    None,    // nothing has this name
    Regular, // a regular file
    Folder,
    Link,        // a symbolic link (only entry_kind reports links)
    Pipe,        // a named pipe
    Socket,
    Device,      // a character or block device
    Unreachable, // the system would not say: no permission to look, a name too long, ...
};

// A pipe, socket or device: something a file cannot replace.
inline bool is_special(FileKind kind) {
    return kind == FileKind::Pipe || kind == FileKind::Socket || kind == FileKind::Device;
}

// What the name leads to, symbolic links followed (a dangling link is None). error, when
// given, receives the errno behind Unreachable (0 otherwise).
FileKind file_kind(const std::string& path, int* error = nullptr);
// What the name itself is, a symbolic link reported as Link and not followed.
FileKind entry_kind(const std::string& path, int* error = nullptr);
// True when anything has this name: a file, a folder, a pipe, a device, a socket or a
// symbolic link, dangling or not. Such a name is taken. A name the system will not
// describe (Unreachable) counts as taken too: it cannot be used.
bool name_exists(const std::string& path);

// Which file a name is, independent of the name: two names are the same file when
// their identities are equal (a hard link, or the same path written differently).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known() const { return device != 0 || inode != 0; }
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file the path leads to (unknown when there is none).
FileIdentity file_identity(const std::string& path);

// Reads a whole regular file or pipe into text: 0, or the errno of the failure (EISDIR
// for a folder). identity, when given, receives the identity of the file that was read.
int read_whole_file(const std::string& path, std::string& text, FileIdentity* identity = nullptr);

// Moves from onto to without ever replacing a file at `to`: 0, or the errno (EEXIST
// when the name is taken).
int rename_no_replace(const std::string& from, const std::string& to);

// True for a character that separates folders in a path: '/', and on Windows also '\'.
bool is_separator(char c);
// How many leading characters of the path name its root: "/" on POSIX; on Windows "C:\",
// "C:" (the current folder of drive C), "\\server\share\" or a lone "\". 0 for a
// relative path.
std::size_t root_length(const std::string& path);
// The position of the path's last folder separator, std::string::npos when it has none.
std::size_t last_separator(const std::string& path);
// The separator this platform writes: '/', on Windows '\\'.
char native_separator();
// True when the two paths are written the same way as far as the file system can tell:
// exactly on POSIX; on Windows without regard to case, and '/' the same as '\\'.
bool same_path_text(const std::string& a, const std::string& b);
// True for a path that means the same place from any current folder.
bool is_absolute_path(const std::string& path);

// The folder a path names its file in, as open() reads it: "." for a bare name, the root
// ("/", "C:\") for a name directly in it.
std::string folder_of(const std::string& path);

// folder + separator + name, without doubling a separator the folder already ends with;
// an empty folder gives the name alone. The separator is '/', on Windows '\' unless the
// folder already uses '/' alone.
std::string join_path(const std::string& folder, const std::string& name);

// The process's current directory ("" if it cannot be read).
std::string CurrentDirectory();
// The current directory as a folder is shown and stored: without a trailing separator
// except for the root itself; `fallback` when the directory cannot be read.
std::string CurrentFolder(const std::string& fallback = {});

// A folder as it will mean the same place from anywhere: an absolute folder as it is, "."
// as the current folder, any other relative folder joined to the current folder. ""
// stays "".
std::string absolute_folder(const std::string& folder);

// Makes the folder and the folders above it that are missing: 0, or the errno of the
// failure (ENOTDIR when something that is no folder has one of the names).
int make_folders(const std::string& folder);

// Follows `path` through symbolic links, as opening it would, to the name that is finally
// written: the file the links lead to, or the missing name a dangling link names. 0, or
// the errno (ELOOP for a loop).
int resolve_links(const std::string& path, std::string& resolved);

// 0 when an existing file at path may be written by this user, else the errno (EACCES for
// a read-only file).
int check_writable(const std::string& path);

} // namespace skyfetch
