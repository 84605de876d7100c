#include "putil/ProcessSetup.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace skyfetch {

void prepare_process_io() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number, which is this one: the lower ones are open.
        const int flags = fd == STDIN_FILENO ? O_WRONLY : O_RDONLY;
        const int opened = ::open("/dev/null", flags);
        if (opened != fd) {
            // Without /dev/null the number stays free: better to stop than to let a driver
            // file take it.
            _exit(127);
        }
    }
    // Ignored dispositions survive exec(): programs started later get the defaults back
    // (see the launcher).
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

std::vector<std::string> program_arguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool is_terminal(int stream) {
    return isatty(stream) == 1;
}

bool is_only_thread() {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr)
        return false;
    int threads = 0;
    while (const dirent* entry = readdir(tasks))
        if (entry->d_name[0] != '.')
            ++threads;
    closedir(tasks);
    return threads == 1;
}

std::string environment_variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace skyfetch
