#include "app/StartupOutput.h"

#include "settings/ProfileLocations.h"
#include "settings/SettingsKeys.h"
#include "putil/FileSystem.h"
#include "putil/WorkingFolder.h"
#include "rules/OutputName.h"

namespace skyfetch {

std::optional<std::string> FolderArgument(const std::vector<std::string>& arguments,
                                          const std::string& launchDirectory) {
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument[0] == '-')
            continue;
        // A rooted path ("/x"; on Windows also "C:\x", "\\server\share\x") stays as given.
        if (root_length(argument) > 0 || launchDirectory.empty())
            return argument;
        return join_path(launchDirectory, argument);
    }
    return std::nullopt;
}

bool ReadLastOutput(std::string& folder, std::string& name) {
    const Profile shared = shared_profile();
    folder = shared.read_string(settings::kLastDir, "");
    // Other programs write this key too: only the file's own name counts, so that the
    // name offered can never point outside the remembered folder.
    name = StripFolder(shared.read_string(settings::kLastFile, ""));
    if (folder.empty() || name.empty())
        return false;
    if (!is_separator(folder.back()))
        folder += native_separator();
    return file_kind(folder + name) == FileKind::Regular;
}

std::string ChooseOutput(const std::optional<std::string>& argument) {
    std::string name;
    if (argument && !argument->empty() && change_directory(*argument) == 0) {
        MakeUniqueName(name, false);
        return name;
    }
    std::string folder;
    std::string lastName;
    if (ReadLastOutput(folder, lastName) && change_directory(folder) == 0) {
        MakeUniqueName(lastName, true);
        return lastName;
    }
    return {};
}

} // namespace skyfetch
