#include "app/StartupOutput.h"

#include "settings/ProfileLocations.h"
#include "settings/SettingsKeys.h"
#include "putil/FileSystem.h"
#include "rules/OutputName.h"

#include <unistd.h>

namespace skyfetch {

std::optional<std::string> FolderArgument(const std::vector<std::string>& arguments,
                                          const std::string& launchDirectory) {
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument[0] == '-')
            continue;
        if (argument[0] == '/' || launchDirectory.empty())
            return argument;
        if (launchDirectory.back() == '/')
            return launchDirectory + argument;
        return launchDirectory + "/" + argument;
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
    if (folder.back() != '/')
        folder += '/';
    return file_kind(folder + name) == FileKind::Regular;
}

std::string ChooseOutput(const std::optional<std::string>& argument) {
    std::string name;
    if (argument && !argument->empty() && ::chdir(argument->c_str()) == 0) {
        MakeUniqueName(name, false);
        return name;
    }
    std::string folder;
    std::string lastName;
    if (ReadLastOutput(folder, lastName) && ::chdir(folder.c_str()) == 0) {
        MakeUniqueName(lastName, true);
        return lastName;
    }
    return {};
}

} // namespace skyfetch
