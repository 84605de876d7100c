#include "rules/OutputFileCheck.h"

#include "putil/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace skyfetch {

namespace {

// Creates a uniquely named file in the folder and removes it again.
bool can_create_in(const std::string& folder) {
    std::string pattern = folder + "/.skyfetch-probe-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0)
        return false;
    close(fd);
    unlink(buffer.data());
    return true;
}

OutputFileCheck refuse(const std::string& message, PromptIcon icon) {
    return {false, message, icon};
}

} // namespace

std::string CouldNotOpenMessage(const std::string& name) {
    return "Could not open \"" + name +
           "\" for output.\nAn existing file with this name may currently be open (e.g. in "
           "Excel).\nIf so, you have to first close it, save it under another name,\nor "
           "choose another name for the output file.";
}

OutputFileCheck CheckOutputFile(const std::string& name) {
    if (name.empty())
        return refuse(kNoOutputNameMessage, PromptIcon::Warning);
    if (name[0] == '.')
        return refuse(kInvalidOutputNameMessage, PromptIcon::Warning);

    struct stat info {};
    if (stat(name.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || access(name.c_str(), W_OK) != 0)
            return refuse(CouldNotOpenMessage(name), PromptIcon::Error);
    } else if (errno != ENOENT) {
        return refuse(CouldNotOpenMessage(name), PromptIcon::Error);
    }
    if (name.back() == '/' || !can_create_in(folder_of(name)))
        return refuse(CouldNotOpenMessage(name), PromptIcon::Error);
    return {};
}

} // namespace skyfetch
