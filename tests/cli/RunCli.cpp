#include "RunCli.h"
#include "TextFiles.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace skyfetch::test {

CliRun run_cli(const std::vector<std::string>& args, const std::string& folder, long fileSizeLimit,
               const std::string& stdoutFile, const std::function<bool()>& signalWhen,
               int signal) {
    // The captured streams live outside the folder, so they never show up in it and the
    // size limit does not touch them before the child lowers it.
    char outName[] = "/tmp/skyfetch-cli-out-XXXXXX";
    char errName[] = "/tmp/skyfetch-cli-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);

    std::vector<std::string> argvText;
    argvText.push_back(SKYFETCH_CLI_PATH);
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    CliRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        if (stdoutFile.empty()) {
            dup2(outFd, STDOUT_FILENO);
        } else {
            const int fd = open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0)
                _exit(125);
        }
        dup2(errFd, STDERR_FILENO);
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    bool signalled = false;
    for (int waitedMs = 0; pid > 0; ++waitedMs) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status))
                run.status = WEXITSTATUS(status);
            else if (WIFSIGNALED(status))
                run.status = 128 + WTERMSIG(status);
            break;
        }
        if (done < 0)
            break;
        if (signalWhen && !signalled && signalWhen()) {
            kill(pid, signal);
            signalled = true;
        }
        if (waitedMs == 60000)
            kill(pid, SIGKILL);
        usleep(1000);
    }
    close(outFd);
    close(errFd);
    run.out = read_text(outName);
    run.err = read_text(errName);
    unlink(outName);
    unlink(errName);
    return run;
}

} // namespace skyfetch::test
