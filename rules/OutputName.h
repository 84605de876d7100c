#pragma once

#include "putil/FileSystem.h"

#include <string>
#include <vector>

namespace skyfetch {

// Rules for the output file name and its folder. Paths use '/' as the separator (on
// Windows '\\' as well) and are compared case-sensitively (on Windows without regard to
// case). A name without a separator is relative to the process's
// current directory, which is the program's output folder.

// The name used when the user has given none.
inline constexpr const char* kDefaultOutputName = "climate.txt";
// The extension added to names that lack one.
inline constexpr const char* kDefaultExtension = "txt";

// Splits a file name into a base without its trailing number and an extension with
// its dot: "climate12.txt" -> "climate", ".txt"; "a.b.txt" -> "a.b", ".txt";
// "readme" -> "readme", "". A last component without a dot has no extension.
void SplitNumberedName(const std::string& name, std::string& base, std::string& ext);

// Replaces name by the first name that does not exist yet in the current directory:
// name itself, else base + 0..99 + ext; when all of those exist too, "climate.txt".
// An empty name starts as "climate.txt"; with strip_number a trailing number before
// the extension is removed first ("climate7.txt" -> "climate.txt").
void MakeUniqueName(std::string& name, bool strip_number);
// The names MakeUniqueName tries, in its order: name (or "climate.txt"), then base +
// 0..99 + ext.
std::vector<std::string> UniqueNameCandidates(const std::string& name, bool strip_number);

// Appends "." + ext unless the name ends in a three-letter extension ("data.csv"
// stays, "file.c" becomes "file.c.txt"); a short name keeps a dot it already has.
void EnsureExtension(std::string& name, const std::string& ext);

// The automatic extension while the user types into the name field. selStart and
// selEnd are the field's selection before and after (the caret stays where the user
// was typing, in front of an added extension).
struct KeptExtension {
    std::string name;
    int selStart = 0;
    int selEnd = 0;
};
// "c" -> "c.txt"; "" -> ".txt"; a second dot before the automatic extension, as in
// "c.csv.txt", removes it ("c.csv"); a name without a dot gets "." + ext.
KeptExtension KeepExtension(std::string name, const std::string& ext, int selStart, int selEnd);

// The part after the last separator and after the root (the whole path when it has
// neither).
std::string StripFolder(const std::string& path);

// Splits a path into the file name and its folder. Without a separator, name = path and
// folder = the current directory. The root folder is held with its separator ("/x.txt"
// gives "x.txt" in "/", "C:\\x.txt" gives "x.txt" in "C:\\").
void SplitPath(const std::string& path, std::string& name, std::string& folder);

// Returns the full path of the file: folder + "/" (Windows: "\\") + path when path has
// no separator, else path. When path's folder part (up to its last separator) equals
// folder + that separator, path itself is shortened to the bare name. A folder given
// with its own trailing separator therefore
// never shortens a path (the folder tree relies on keeping such paths whole).
std::string ShortenToFolder(std::string& path, const std::string& folder);

// Why Windows would refuse a file name (one component, no folder), as the end of a
// sentence about the name ("is reserved on Windows for a device"), or "": a reserved
// device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, also with an extension and
// in any case), one of the characters <>:"|?*, or a dot or space at the end.
std::string WindowsNameProblem(const std::string& name);
// The same where Windows' rules apply, that is on Windows; "" elsewhere.
std::string PlatformNameProblem(const std::string& name);

} // namespace skyfetch
