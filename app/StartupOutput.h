#pragma once

#include <optional>
#include <string>
#include <vector>

namespace skyfetch {

// Where the program starts writing: the output folder (the process's current directory)
// and the first output file name, chosen before the window opens.

// The output folder named on the command line: the first argument that is not an option
// ("-" first), made absolute against launchDirectory, the directory the program was
// started in, so that it names the same folder after the program has moved to the
// documents folder. arguments come without the program's own name. Nothing when no
// argument names a folder.
std::optional<std::string> FolderArgument(const std::vector<std::string>& arguments,
                                          const std::string& launchDirectory);

// The folder and name of the last file written, from the shared profile; of the name only
// the part after its last separator counts. True only when both are set and a regular
// file of that name is still in the folder. When both are set, folder gets a trailing
// separator ('/', on Windows '\') unless it has one (also when the file is gone).
bool ReadLastOutput(std::string& folder, std::string& name);

// Chooses the output folder and makes it the current directory, then returns the first
// output name:
//   - a folder given on the command line that can be entered: the default name, made
//     unique there;
//   - else the remembered last file, when it and its folder still exist: its name
//     without a trailing number, made unique in that folder;
//   - else the current directory stays and the name is empty (the dialog then gives it
//     the default name).
std::string ChooseOutput(const std::optional<std::string>& argument);

} // namespace skyfetch
