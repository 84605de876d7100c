#include "putil/ProcessSetup.h"

#include <cerrno>
#include <csignal>
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

} // namespace skyfetch
