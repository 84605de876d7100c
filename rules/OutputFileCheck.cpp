#include "rules/OutputFileCheck.h"

#include "putil/FileSystem.h"
#include "putil/OutputFolder.h"
#include "putil/SystemError.h"
#include "putil/TemporaryFiles.h"
#include "rules/OutputName.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace skyfetch {

namespace {

// Creates a uniquely named file in the folder and removes it again: 0, or the errno of
// the failed creation. It is a temporary file like any other: a signal meanwhile removes
// it, and a run killed meanwhile leaves it for the next run to remove.
int create_probe_in(const std::string& folder) {
    OutputFolder place;
    if (const int error = place.open(folder); error != 0)
        return error;
    std::string name;
    OutputFile file;
    int ticket = -1;
    if (const int error = place.create_temporary(name, file, ticket); error != 0)
        return error;
    file.close();
    place.remove(name);
    forget_temporary(ticket);
    return 0;
}

OutputFileCheck refuse(const std::string& message, PromptIcon icon) {
    return {false, message, icon, 0};
}

OutputFileCheck cannot_open(const std::string& name, int error) {
    return {false, CouldNotOpenMessage(name, system_error_text(error)), PromptIcon::Error, error};
}

} // namespace

TargetCheck CheckTargetKind(FileKind kind, int error) {
    switch (kind) {
    case FileKind::None:
    case FileKind::Regular:
        return {};
    case FileKind::Folder:
        return {"is a folder", 0};
    case FileKind::Link:
        return {"is a symbolic link", 0};
    case FileKind::Pipe:
        return {"is a named pipe", 0};
    case FileKind::Socket:
        return {"is a socket", 0};
    case FileKind::Device:
        return {"is a device", 0};
    case FileKind::Unreachable:
        break;
    }
    return {"", error};
}

TargetCheck CheckTarget(const std::string& path, bool refuseLinks) {
    int error = 0;
    FileKind kind = entry_kind(path, &error);
    if (kind == FileKind::Link && !refuseLinks) {
        kind = file_kind(path, &error);
        // A dangling link: the file it names is created.
    }
    return CheckTargetKind(kind, error);
}

std::string CheckOutputPathName(const std::string& path) {
    const std::string own = StripFolder(path);
    if (own.empty())
        return kNoOutputNameMessage;
    if (own[0] == '.')
        return kInvalidOutputNameMessage;
    return {};
}

bool HasControlCharacter(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

std::string OverwriteQuestion(const std::string& name) {
    return name + " already exists\nDo you want to overwrite it?";
}

OutputFileCheck CheckOutputFile(const std::string& name) {
    if (name.empty())
        return refuse(kNoOutputNameMessage, PromptIcon::Warning);
    if (name[0] == '.')
        return refuse(kInvalidOutputNameMessage, PromptIcon::Warning);

    // Each refusal carries the reason of the step that failed. open() itself would call a
    // folder, or a name ending in a separator, "Is a directory"; pipes, devices and
    // sockets are refused as something no file can be written to.
    int error = 0;
    const FileKind kind = file_kind(name, &error);
    if (kind == FileKind::Folder)
        return cannot_open(name, EISDIR);
    if (is_special(kind))
        return cannot_open(name, ENOTSUP);
    if (kind == FileKind::Unreachable)
        return cannot_open(name, error);
    if (kind == FileKind::Regular)
        if (const int denied = check_writable(name); denied != 0)
            return cannot_open(name, denied);
    if (is_separator(name.back()))
        return cannot_open(name, EISDIR);
    if (const int probe = create_probe_in(folder_of(name)); probe != 0)
        return cannot_open(name, probe);
    return {};
}

} // namespace skyfetch
