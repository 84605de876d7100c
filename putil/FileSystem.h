#pragma once

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
    Link,  // a symbolic link (only entry_kind reports links)
    Other, // a pipe, device or socket, or a name the system refuses to describe
};

// What the name leads to, symbolic links followed (a dangling link is None).
FileKind file_kind(const std::string& path);
// What the name itself is, a symbolic link reported as Link and not followed.
FileKind entry_kind(const std::string& path);
// True when anything has this name: a file, a folder, a pipe, a device, a socket or a
// symbolic link, dangling or not. Such a name is taken.
bool name_exists(const std::string& path);

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
