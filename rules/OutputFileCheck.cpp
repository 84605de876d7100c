#include "rules/OutputFileCheck.h"

#include "putil/FileSystem.h"
#include "rules/OutputName.h"

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

std::string TargetRefusal(const std::string& path, bool refuseLinks) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? std::string() : std::strerror(errno);
    if (S_ISLNK(info.st_mode)) {
        if (refuseLinks)
            return "is a symbolic link";
        if (stat(path.c_str(), &info) != 0)
            return {}; // a dangling link: the file it names is created
    }
    if (S_ISREG(info.st_mode))
        return {};
    if (S_ISDIR(info.st_mode))
        return "is a folder";
    if (S_ISFIFO(info.st_mode))
        return "is a named pipe";
    if (S_ISSOCK(info.st_mode))
        return "is a socket";
    return "is a device";
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
