#pragma once

#include "putil/FileSystem.h"
#include "putil/OutputFile.h"

#include <cstdint>
#include <string>

namespace skyfetch {

// A folder held open while files are written into it. On POSIX every name is looked up,
// created and renamed relative to the open folder, never through its path again; on
// Windows the folder is held so that it can be neither renamed nor removed meanwhile. A
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
    bool is_open() const { return m_handle != OutputFile::kNone; }
    // The path it was opened with, for messages.
    const std::string& path() const { return m_path; }

    // What the name in the folder is, links not followed; error receives the errno when
    // the system could not say (the kind is then Unreachable).
    FileKind entry_kind(const std::string& name, int* error = nullptr) const;
    // The identity of the name in the folder, links not followed (unknown when missing).
    FileIdentity identity(const std::string& name) const;

    // Creates a new temporary file (see TemporaryFiles.h) for writing; 0 or the errno.
    // name and ticket receive its name and its registration for the cleanup on signals.
    int create_temporary(std::string& name, OutputFile& file, int& ticket);
    // Gives a new file what the file it will replace has of permissions and owner, where
    // the system has them and allows it; 0 or the errno.
    int copy_attributes(const std::string& from, OutputFile& file) const;
    // Moves from onto to. Without replace, an existing `to` is never replaced (EEXIST).
    // 0, or the errno of the failure.
    int rename(const std::string& from, const std::string& to, bool replace);
    void remove(const std::string& name);
    // Makes the folder's entries durable (new names, renames); 0 or the errno.
    int sync();
    // Removes what killed runs of this user left behind (see TemporaryFiles.h).
    int remove_stale_temporaries();

    // The folder's descriptor or handle, for the implementation.
    std::intptr_t native() const { return m_handle; }

private:
    std::intptr_t m_handle = OutputFile::kNone;
    std::string m_path;
    std::string m_base; // the folder's absolute path, where names are given by path
    std::string child(const std::string& name) const;
};

} // namespace skyfetch
