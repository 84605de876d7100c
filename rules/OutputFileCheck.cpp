#include "rules/OutputFileCheck.h"

#include "putil/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace skyfetch {

namespace {

// Creates a uniquely named file in the folder and removes it again: 0, or the errno of
// the failed creation.
int create_probe_in(const std::string& folder) {
    std::string pattern = folder + "/.skyfetch-probe-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0)
        return errno;
    close(fd);
    unlink(buffer.data());
    return 0;
}

OutputFileCheck refuse(const std::string& message, PromptIcon icon) {
    return {false, message, icon, 0};
}

OutputFileCheck cannot_open(const std::string& name, int error) {
    return {false, CouldNotOpenMessage(name, std::strerror(error)), PromptIcon::Error, error};
}

} // namespace

std::string CouldNotOpenMessage(const std::string& name, const std::string& reason) {
    std::string text = "Could not open \"" + name + "\" for output.\n";
    if (!reason.empty())
        text += reason + ".\n";
    return text + "Choose another folder or another name for the output file.";
}

OutputFileCheck CheckOutputFile(const std::string& name) {
    if (name.empty())
        return refuse(kNoOutputNameMessage, PromptIcon::Warning);
    if (name[0] == '.')
        return refuse(kInvalidOutputNameMessage, PromptIcon::Warning);

    // Each refusal carries the reason of the step that failed. open() itself would call a
    // folder, or a name ending in '/', "Is a directory"; pipes, devices and sockets are
    // refused as something no file can be written to.
    struct stat info {};
    if (stat(name.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return cannot_open(name, EISDIR);
        if (!S_ISREG(info.st_mode))
            return cannot_open(name, ENOTSUP);
        if (access(name.c_str(), W_OK) != 0)
            return cannot_open(name, errno);
    } else if (errno != ENOENT) {
        return cannot_open(name, errno);
    }
    if (name.back() == '/')
        return cannot_open(name, EISDIR);
    if (const int error = create_probe_in(folder_of(name)); error != 0)
        return cannot_open(name, error);
    return {};
}

} // namespace skyfetch
