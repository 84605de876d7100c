#pragma once

#include <cstdint>
#include <locale.h>
#include <string>

namespace skyfetch {

// The small file-system and locale helpers every part of the program shares. None of
// them opens a file: asking what a name is must never block on a pipe or a device.

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

// The folder a path names its file in, as open() reads it: "." for a bare name, "/" for
// a name directly in the root.
std::string folder_of(const std::string& path);

// folder + "/" + name, without doubling a separator the folder already ends with; an
// empty folder gives the name alone.
std::string join_path(const std::string& folder, const std::string& name);

// The process's current directory ("" if it cannot be read).
std::string CurrentDirectory();
// The current directory as a folder is shown and stored: without a trailing '/' except
// for the root itself; `fallback` when the directory cannot be read.
std::string CurrentFolder(const std::string& fallback = {});

// A folder as it will mean the same place from anywhere: an absolute folder as it is, "."
// as the current folder, any other relative folder joined to the current folder. ""
// stays "".
std::string absolute_folder(const std::string& folder);

// One "C" locale object for the whole process: strtod_l(), uselocale() and the like take
// it to read and write numbers as "13.25" whatever locale a toolkit has set globally.
locale_t c_locale();

} // namespace skyfetch
