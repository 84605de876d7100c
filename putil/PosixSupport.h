#pragma once

// Shared by the POSIX implementations of this folder only.

#include "putil/FileSystem.h"

#include <cerrno>
#include <sys/stat.h>

namespace skyfetch {

// result and mode are what a stat() call returned; errno still holds its error.
inline FileKind kind_of_stat(int result, mode_t mode, int* error) {
    if (error)
        *error = 0;
    if (result != 0) {
        // A name that is not there (or whose folder is not) is free; any other refusal
        // (no permission to look, a name too long) leaves the name unusable, not free.
        if (errno == ENOENT || errno == ENOTDIR)
            return FileKind::None;
        if (error)
            *error = errno;
        return FileKind::Unreachable;
    }
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISLNK(mode))
        return FileKind::Link;
    if (S_ISFIFO(mode))
        return FileKind::Pipe;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Device;
}

// renameat2(RENAME_NOREPLACE), or where the file system lacks it a hard link (which fails
// when the name exists) and the removal of the old name: 0, or the errno.
int rename_no_replace_at(int folder, const char* from, const char* to);

// Creates the file with openat(folder, name, flags | O_CREAT, mode), registered for
// removal (TemporaryFiles.h) before it exists; the descriptor, or -1 with errno set (EINTR
// once a cleanup has begun). ticket receives the registration, -1 for none.
int create_temporary_at(int folder, const char* name, int flags, unsigned mode, int& ticket);
// remove_stale_temporaries() for an open folder.
int remove_stale_temporaries_at(int folder);

} // namespace skyfetch
