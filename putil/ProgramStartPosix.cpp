#include "putil/ProgramStart.h"

#include "putil/FileSystem.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace skyfetch {
namespace {

bool IsExecutableFile(const std::string& path) {
    return file_kind(path) == FileKind::Regular && access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string FindOnPath(const std::string& program) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return IsExecutableFile(program) ? program : std::string();
    const char* variable = std::getenv("PATH");
    const std::string path = variable ? variable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        // An empty entry stands for the current directory, as for the shell.
        const std::string folder = end == start ? "." : path.substr(start, end - start);
        const std::string candidate = folder + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

StartOutcome StartProgram(const std::vector<std::string>& arguments,
                          std::chrono::milliseconds wait) {
    if (arguments.empty())
        return StartOutcome::NotFound;
    const std::string program = FindOnPath(arguments[0]);
    if (program.empty())
        return StartOutcome::NotFound;

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The program gets its own session (closing our terminal does not end it), no input,
    // default handling of the signals this process may ignore, and no blocked signals.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGXFSZ, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(),
                                   environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return StartOutcome::FailedAtOnce; // not executed at all

    // An early end with an error means the program could not do what was asked (no
    // handler for the file, no display, a broken installation).
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? StartOutcome::Started
                                                                 : StartOutcome::FailedAtOnce;
        if (done < 0 && errno != EINTR)
            return StartOutcome::Started; // no longer ours to watch
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    // Still running: it has the request. Its end is collected in the background, so
    // that it leaves no zombie behind while this program goes on.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return StartOutcome::Started;
}

} // namespace skyfetch
