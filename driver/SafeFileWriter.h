#pragma once

#include "driver/OutputSink.h"
#include "driver/WriteResult.h"

#include <string>

namespace skyfetch {

// Whether committing may replace a file that is already at the target path.
enum class ExistingFile { Replace, Keep };
// Whether a symbolic link at the target path leads to the file that is written, or is
// refused (for names the program made up itself, which must stay inside their folder).
enum class TargetLinks { Follow, Refuse };
// What committing makes durable itself: the file and the folder's new entry, or nothing,
// because the caller syncs many finished files at once (sync_file_system) before their
// commits and their folder once after them (sync_folder).
enum class CommitSync { FileAndFolder, None };

// Writes a file so that it either appears complete or not at all: the bytes go to a
// temporary file in the target's folder, which is flushed to disk, closed and renamed
// over the target only when every step succeeded. On any failure the temporary file is
// removed and a file already at the target stays as it was. A new file gets the
// permissions a plainly created file gets (0666 less the umask); a replaced file keeps
// its permission bits and, where allowed, its owner. A symbolic link at the target is
// followed and the file it leads to is replaced, the link staying in place (unless links
// are refused). A file with other hard links is replaced under this name only; the other
// names keep the old text. A folder (or a link to one) is refused; a device or pipe is
// written in place when it can be opened at once (a pipe with no reader is refused
// rather than waited for). A process ended by SIGTERM, SIGINT or SIGHUP while writing
// leaves no temporary file behind.
class SafeFileWriter final : public OutputSink {
public:
    SafeFileWriter() = default;
    ~SafeFileWriter() override; // an uncommitted temporary file is removed
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file. With ExistingFile::Keep an existing target is refused
    // at once, and again at commit if one appeared in the meantime.
    WriteResult open(const std::string& target, ExistingFile existing,
                     TargetLinks links = TargetLinks::Follow);
    bool write(const char* data, std::size_t size) override;
    // Ends the writing and closes the temporary file without flushing it to disk, so that
    // many files can wait for their commit without holding a descriptor each.
    WriteResult finish_writing();
    // Flushes, closes and moves the file into place; after a failed write it only cleans
    // up and reports that failure. With CommitSync::None the caller has made the finished
    // file durable already and syncs the folder later.
    WriteResult commit(CommitSync sync = CommitSync::FileAndFolder);
    // Drops the temporary file.
    void discard();

    // The first failure so far (ok while there is none).
    const WriteResult& result() const { return m_result; }
    const std::string& temporary_path() const { return m_tempPath; }

private:
    WriteResult fail_with(WriteFailure why, const std::string& what, int error);
    WriteResult refuse(const std::string& what, const std::string& reason);
    WriteResult move_into_place(CommitSync sync);
    WriteResult open_in_place();

    std::string m_target;      // the name the caller gave, used in messages
    std::string m_destination; // the name the file is renamed to: the target, links followed
    std::string m_tempPath;
    int m_tempTicket = -1; // the temporary file's place among those removed on a signal
    ExistingFile m_existing = ExistingFile::Replace;
    bool m_inPlace = false;  // writing straight into a device or pipe
    bool m_finished = false; // finish_writing() closed the temporary file
    int m_fd = -1;
    WriteResult m_result;
};

// Writes everything of the file system that holds `folder` to disk (syncfs): one call
// for many files written there. Fails with the first write error any of them met.
WriteResult sync_file_system(const std::string& folder);
// Makes the entries of a folder durable (renames, new names); failures are ignored, as
// the files themselves are in place either way.
void sync_folder(const std::string& folder);

} // namespace skyfetch
