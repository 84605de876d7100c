#pragma once

#include "putil/FileSystem.h"
#include "putil/UserPrompt.h"

#include <string>

namespace skyfetch {

inline constexpr const char* kNoOutputNameMessage = "Please provide a name for the output file";
inline constexpr const char* kInvalidOutputNameMessage =
    "Please provide a valid name for the output file";

// The answer of the output name check: ok, or the message to show with its icon.
struct OutputFileCheck {
    bool ok = true;
    std::string message;
    PromptIcon icon = PromptIcon::Warning;
    int error = 0; // errno of the step that refused the name (0 when none did)
};

// The text shown when the output file cannot be created under this name: the name and
// what the user can do, in the platform's words. On Linux with the system's reason
// (strerror's text, "" to leave it out); on Windows the reason is not named, and the
// text points to the usual cause there, the file being open in another program.
std::string CouldNotOpenMessage(const std::string& name, const std::string& reason);

// The question before a file that exists is replaced.
std::string OverwriteQuestion(const std::string& name);

// Checks, before anything is written, that the driver file can be written under name
// (relative to the current directory): the name is not empty and does not start with
// a dot (warning), a new file can be created in its folder and an existing target is
// a regular, writable file (error). Nothing existing is changed: the folder is tested
// with a probe file that is created and removed again, so an existing file keeps its
// content even when a later check stops the command.
OutputFileCheck CheckOutputFile(const std::string& name);

// Whether a file can be written at a name, decided without opening anything: refusal
// says what the name is when it cannot be written ("is a folder", "is a named pipe", "is
// a device", "is a socket", "is a symbolic link"); error is the errno when the system
// would not say what the name is (no permission to look, a name too long). Both empty
// when nothing has the name or a regular file has it.
struct TargetCheck {
    std::string refusal;
    int error = 0;
    bool ok() const { return refusal.empty() && error == 0; }
};
// The name at path; a symbolic link is followed unless refuseLinks.
TargetCheck CheckTarget(const std::string& path, bool refuseLinks);
// A name of this kind (links not followed), with the error entry_kind() gave.
TargetCheck CheckTargetKind(FileKind kind, int error);

// The name rules for a path given on the command line, as the window's first two checks
// apply them to a typed name: the message when it is empty, names no file (ends in '/'),
// or the file's own name (the part after the last '/') starts with a dot; "" otherwise.
// Folders before the name may be anything, "./" and "../" included.
std::string CheckOutputPathName(const std::string& path);

// True when the text holds a byte below 32 or 127 (DEL), which no name may hold.
bool HasControlCharacter(const std::string& text);

} // namespace skyfetch
