#pragma once

#include "putil/FileSystem.h"

#include <string>

namespace skyfetch {

// A folder held open while many files are written into it. Every name is looked up,
// created and renamed relative to the open folder, never through its path again: a
// folder renamed, or replaced by a symbolic link, while the files are written still
// receives all of them, and nothing goes anywhere else.
class OutputFolder {
public:
    OutputFolder() = default;
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    // Opens the folder at path; 0, or the errno of the failure (ENOTDIR when it is not a
    // folder).
    int open(const std::string& path);
    bool is_open() const { return m_fd >= 0; }
    // The path it was opened with, for messages.
    const std::string& path() const { return m_path; }

    // What the name in the folder is, links not followed; error receives the errno when
    // the system could not say (the kind is then Unreachable).
    FileKind entry_kind(const std::string& name, int* error = nullptr) const;
    // The identity of the name in the folder, links not followed (unknown when missing).
    FileIdentity identity(const std::string& name) const;

    // Creates a new temporary file (see TemporaryFiles.h) for writing; returns its
    // descriptor, or -1 with errno set. name and ticket receive its name and its
    // registration for the cleanup on signals.
    int create_temporary(std::string& name, int& ticket);
    // Moves from onto to. Without replace, an existing `to` is never replaced (EEXIST).
    // 0, or the errno of the failure.
    int rename(const std::string& from, const std::string& to, bool replace);
    void remove(const std::string& name);
    // Makes the folder's entries durable (new names, renames); 0 or the errno.
    int sync();
    // Removes what killed runs of this user left behind (see TemporaryFiles.h).
    int remove_stale_temporaries();

    // The open folder's descriptor.
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
    std::string m_path;
};

} // namespace skyfetch
