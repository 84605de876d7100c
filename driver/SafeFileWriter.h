#pragma once

#include "driver/OutputSink.h"
#include "driver/WriteResult.h"
#include "putil/OutputFile.h"
#include "putil/OutputFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace skyfetch {

// Whether committing may replace a file that is already at the target path.
enum class ExistingFile { Replace, Keep };
// What happens when the target is a pipe, device or socket: it is refused (the window and
// its settings, which must never wait for a pipe's reader), or the bytes go straight into
// it (the command line, where "--output /dev/stdout" or a named pipe is a wish).
enum class SpecialTargets { Refuse, WriteInPlace };
// Whether committing also makes the folder's new entry durable, or leaves that to the
// caller, who syncs the folder once after many commits.
enum class CommitSync { FileAndFolder, FileOnly };

// Writes a file so that it either appears complete or not at all: the bytes go to a
// temporary file in the target's folder, which is flushed to disk, closed and renamed
// over the target only when every step succeeded. On any failure the temporary file is
// removed and a file already at the target stays as it was. A new file gets the
// permissions a plainly created file gets (0666 less the umask); a replaced file keeps
// its permission bits and, where allowed, its owner. A symbolic link at the target is
// followed and the file it leads to is replaced, the link staying in place. A file with
// other hard links is replaced under this name only; the other names keep the old text.
// A folder (or a link to one) is refused. The target's folder is held open from start to
// end, so renaming it meanwhile cannot strand the temporary file. A process ended by a
// signal while writing leaves no temporary file behind, and temporary files that killed
// runs left in the folder are removed when a new file is opened there.
class SafeFileWriter final : public OutputSink {
public:
    SafeFileWriter() = default;
    ~SafeFileWriter() override; // an uncommitted temporary file is removed
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file. With ExistingFile::Keep an existing target is refused
    // at once, and again at commit if one appeared in the meantime. Messages name the
    // target as `shown` when that is given (a name cut short or escaped for a terminal).
    WriteResult open(const std::string& target, ExistingFile existing,
                     SpecialTargets specials = SpecialTargets::Refuse,
                     const std::string& shown = {});
    // The same for the file `name` in a folder held open by the caller (a batch), shown
    // as `shown` in messages. Only a regular file at the name may be replaced: a symbolic
    // link, pipe or device is refused, so nothing is written outside the folder.
    WriteResult open_in(OutputFolder& folder, const std::string& name, ExistingFile existing,
                        const std::string& shown);
    bool write(const char* data, std::size_t size) override;
    // Ends the writing: flushes the data to disk and closes the temporary file, so that
    // many files can wait for their commit without holding a descriptor each. A write
    // error the disk reports is the failure of this file alone.
    WriteResult finish_writing();
    // Flushes (unless finish_writing did), closes and moves the file into place; after a
    // failed write it only cleans up and reports that failure.
    WriteResult commit(CommitSync sync = CommitSync::FileAndFolder);
    // Commits onto the first of `names` (all in the target's folder, the first being the
    // target given to open) that nothing has taken, never replacing anything: two writers
    // can never claim the same name. Fails with WriteFailure::Exists when all are taken.
    WriteResult commit_to_first_free(const std::vector<std::string>& names,
                                     std::string& claimed);
    // Drops the temporary file.
    void discard();

    // The first failure so far (ok while there is none).
    const WriteResult& result() const { return m_result; }
    // The temporary file's path (empty while there is none).
    std::string temporary_path() const {
        return m_tempName.empty() ? std::string() : join_path(m_folder->path(), m_tempName);
    }

private:
    void reset(ExistingFile existing);
    WriteResult fail_with(WriteFailure why, const std::string& what, int error);
    WriteResult refuse(const std::string& reason, int error);
    WriteResult open_temporary(bool keepAttributes);
    WriteResult open_in_place(const std::string& target, bool& changed);
    WriteResult close_for_commit();
    WriteResult moved(CommitSync sync);

    std::string m_target;   // the name the caller gave, used in messages
    std::string m_destName; // the name in m_folder the file is renamed to (links followed)
    std::unique_ptr<OutputFolder> m_ownFolder; // the target's folder, when open() opened it
    OutputFolder* m_folder = nullptr;          // where the temporary file and target live
    std::string m_tempName;                    // the temporary file's name in m_folder
    int m_tempTicket = -1; // the temporary file's place among those removed on a signal
    ExistingFile m_existing = ExistingFile::Replace;
    bool m_inPlace = false;  // writing straight into a device or pipe
    bool m_finished = false; // finish_writing() flushed and closed the temporary file
    OutputFile m_file;
    WriteResult m_result;
};

} // namespace skyfetch
