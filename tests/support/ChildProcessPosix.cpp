#include "ChildProcess.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace skyfetch::test {
namespace {

std::string read_all(int fd) {
    std::string text;
    char buffer[256];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

} // namespace

ChildOutcome run_child(const std::string& role, const std::vector<std::string>& args) {
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    ChildOutcome outcome;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(out), STDOUT_FILENO);
        dup2(fileno(err), STDERR_FILENO);
        const ChildRole body = find_child_role(role);
        std::_Exit(body ? body(args) : 125);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    outcome.out = read_all(fileno(out));
    outcome.err = read_all(fileno(err));
    outcome.pid = pid;
    std::fclose(out);
    std::fclose(err);
    return outcome;
}

} // namespace skyfetch::test
