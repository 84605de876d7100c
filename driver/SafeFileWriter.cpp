#include "driver/SafeFileWriter.h"

#include "putil/FileSystem.h"
#include "putil/SystemError.h"
#include "putil/TemporaryFiles.h"

#include <cerrno>

namespace skyfetch {
namespace {

// The part of a path after its last separator.
std::string own_name(const std::string& path) {
    const std::size_t slash = last_separator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

SafeFileWriter::~SafeFileWriter() {
    discard();
}

void SafeFileWriter::reset(ExistingFile existing) {
    discard();
    m_ownFolder.reset();
    m_folder = nullptr;
    m_existing = existing;
    m_inPlace = false;
    m_finished = false;
    m_result = WriteResult::success();
}

WriteResult SafeFileWriter::fail_with(WriteFailure why, const std::string& what, int error) {
    std::string text;
    switch (why) {
    case WriteFailure::Open:
        text = "Could not open " + what + " for output";
        break;
    case WriteFailure::Exists:
        text = what + " already exists";
        break;
    default:
        text = "Could not write " + what;
        break;
    }
    if (error)
        text += ": " + system_error_text(error);
    discard();
    if (m_result.ok())
        m_result = WriteResult::failed(why, text, error);
    return m_result;
}

// A target that is not refused for a system error but for what it is; error is the errno
// that tells a user the same in the system's words.
WriteResult SafeFileWriter::refuse(const std::string& reason, int error) {
    discard();
    if (m_result.ok())
        m_result = WriteResult::failed(WriteFailure::Open,
                                       "Could not open " + m_target + " for output: " + reason,
                                       error);
    return m_result;
}

WriteResult SafeFileWriter::open(const std::string& target, ExistingFile existing,
                                 SpecialTargets specials, const std::string& shown) {
    reset(existing);
    m_target = shown.empty() ? target : shown;
    std::string destination = target;
    bool keepAttributes = false;
    int error = 0;
    const FileKind entry = entry_kind(target, &error);
    if (entry == FileKind::Unreachable)
        return fail_with(WriteFailure::Open, m_target, error);
    if (entry != FileKind::None) {
        if (existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, m_target, 0);
        // What the name leads to decides, as it would for a plain open(): a link to a
        // folder is refused like the folder.
        const FileKind current = file_kind(target);
        if (current == FileKind::Folder)
            return fail_with(WriteFailure::Open, m_target, EISDIR);
        if (is_special(current)) {
            if (specials == SpecialTargets::Refuse)
                return refuse("it is not a regular file", ENOTSUP);
            bool changed = false;
            const WriteResult inPlace = open_in_place(target, changed);
            if (!changed)
                return inPlace;
            // It became a regular file meanwhile: replace it like one.
        }
        keepAttributes = current != FileKind::None;
        // The file behind a link is replaced and the link stays. The temporary file goes
        // beside that file, so the final rename never crosses file systems.
        if (entry == FileKind::Link)
            if (const int linkError = resolve_links(target, destination); linkError != 0)
                return fail_with(WriteFailure::Open, m_target, linkError);
    }

    m_ownFolder = std::make_unique<OutputFolder>();
    if (const int folderError = m_ownFolder->open(folder_of(destination)); folderError != 0) {
        m_ownFolder.reset();
        return fail_with(WriteFailure::Open, m_target, folderError);
    }
    m_folder = m_ownFolder.get();
    m_destName = own_name(destination);
    m_folder->remove_stale_temporaries();
    return open_temporary(keepAttributes);
}

WriteResult SafeFileWriter::open_in(OutputFolder& folder, const std::string& name,
                                    ExistingFile existing, const std::string& shown) {
    reset(existing);
    m_target = shown;
    m_folder = &folder;
    m_destName = name;
    int error = 0;
    switch (folder.entry_kind(name, &error)) {
    case FileKind::None:
        return open_temporary(false);
    case FileKind::Regular:
        if (existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, shown, 0);
        return open_temporary(true);
    case FileKind::Folder:
        return fail_with(WriteFailure::Open, shown, EISDIR);
    case FileKind::Link:
        return refuse("it is a symbolic link", ELOOP);
    case FileKind::Pipe:
    case FileKind::Socket:
    case FileKind::Device:
        return refuse("it is not a regular file", ENOTSUP);
    case FileKind::Unreachable:
        break;
    }
    return fail_with(WriteFailure::Open, shown, error);
}

WriteResult SafeFileWriter::open_temporary(bool keepAttributes) {
    if (const int error = m_folder->create_temporary(m_tempName, m_file, m_tempTicket);
        error != 0) {
        m_tempName.clear();
        return fail_with(WriteFailure::Open, m_target, error);
    }
    // A replaced file keeps its permission bits and, where we may set it, its owner. Only
    // the name is kept: another hard link to the old file goes on holding the old text,
    // the price of never showing a half-written file under this name.
    if (keepAttributes)
        if (const int error = m_folder->copy_attributes(m_destName, m_file); error != 0)
            return fail_with(WriteFailure::Open, m_target, error);
    return m_result;
}

// A device or pipe cannot be swapped for a file without cutting off whoever uses it, and
// holds no earlier text to protect: the bytes go straight into it. A pipe nobody reads
// would hold the open forever, so it is refused instead. If a regular file took the name
// meanwhile, it is left alone and `changed` is set.
WriteResult SafeFileWriter::open_in_place(const std::string& target, bool& changed) {
    const int error = m_file.open_special(target, changed);
    if (error == ENXIO)
        return refuse("it is a named pipe that nobody reads", ENXIO);
    if (error != 0)
        return fail_with(WriteFailure::Open, m_target, error);
    m_inPlace = !changed;
    return m_result;
}

bool SafeFileWriter::write(const char* data, std::size_t size) {
    if (!m_file.is_open() || !m_result.ok())
        return false;
    if (const int error = m_file.write_all(data, size); error != 0) {
        fail_with(WriteFailure::Write, m_target, error);
        return false;
    }
    return true;
}

WriteResult SafeFileWriter::finish_writing() {
    if (!m_result.ok() || m_finished)
        return m_result;
    if (!m_file.is_open())
        return fail_with(WriteFailure::Write, m_target, EBADF);
    // The data reach the disk through this file's own descriptor, so that a write error
    // the disk reports later is reported here, for this file, and for no other.
    if (!m_inPlace)
        if (const int error = m_file.sync_data(); error != 0)
            return fail_with(WriteFailure::Write, m_target, error);
    if (const int error = m_file.close(); error != 0)
        return fail_with(WriteFailure::Write, m_target, error);
    m_finished = true;
    return m_result;
}

WriteResult SafeFileWriter::close_for_commit() {
    if (!m_result.ok())
        return m_result;
    if (!m_finished)
        return finish_writing();
    return m_result;
}

WriteResult SafeFileWriter::commit(CommitSync sync) {
    if (!close_for_commit().ok() || m_inPlace)
        return m_result;
    const int error = m_folder->rename(m_tempName, m_destName, m_existing == ExistingFile::Replace);
    if (error != 0) {
        if (error == EEXIST && m_existing == ExistingFile::Keep)
            return fail_with(WriteFailure::Exists, m_target, 0);
        return fail_with(WriteFailure::Write, m_target, error);
    }
    return moved(sync);
}

WriteResult SafeFileWriter::commit_to_first_free(const std::vector<std::string>& names,
                                                 std::string& claimed) {
    claimed.clear();
    if (!close_for_commit().ok() || m_inPlace)
        return m_result;
    for (const std::string& name : names) {
        const int error = m_folder->rename(m_tempName, own_name(name), false);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return fail_with(WriteFailure::Write, name, error);
        claimed = name;
        return moved(CommitSync::FileAndFolder);
    }
    return fail_with(WriteFailure::Exists, m_target, 0);
}

WriteResult SafeFileWriter::moved(CommitSync sync) {
    m_tempName.clear();
    forget_temporary(m_tempTicket);
    m_tempTicket = -1;
    // Makes the rename itself durable; the file is in place either way.
    if (sync == CommitSync::FileAndFolder)
        m_folder->sync();
    return m_result;
}

void SafeFileWriter::discard() {
    m_file.close();
    if (!m_tempName.empty()) {
        m_folder->remove(m_tempName);
        m_tempName.clear();
        forget_temporary(m_tempTicket);
        m_tempTicket = -1;
    }
}

} // namespace skyfetch
