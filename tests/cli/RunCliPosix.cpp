#include "RunCli.h"
#include "TextFiles.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace skyfetch::test {
namespace {

void limit(int resource, long bytes) {
    if (bytes > 0) {
        const rlimit value{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        setrlimit(resource, &value);
    }
}

} // namespace

CliRun run_cli(const std::vector<std::string>& args, const std::string& folder,
               const CliRunOptions& options) {
    // The captured streams live outside the folder, so they never show up in it and the
    // size limit does not touch them before the child lowers it.
    char outName[] = "/tmp/skyfetch-cli-out-XXXXXX";
    char errName[] = "/tmp/skyfetch-cli-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    int brokenPipe[2] = {-1, -1};
    if (options.stdoutBrokenPipe && pipe(brokenPipe) == 0)
        close(brokenPipe[0]);

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
        // The test process may ignore SIGPIPE; the program must not rely on that.
        std::signal(SIGPIPE, SIG_DFL);
        if (options.stdoutBrokenPipe) {
            dup2(brokenPipe[1], STDOUT_FILENO);
        } else if (options.stdoutFile.empty()) {
            dup2(outFd, STDOUT_FILENO);
        } else {
            const int fd = open(options.stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0)
                _exit(125);
        }
        dup2(errFd, STDERR_FILENO);
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        if (options.fileSizeLimit > 0) {
            std::signal(SIGXFSZ, options.keepXfszDefault ? SIG_DFL : SIG_IGN);
            limit(RLIMIT_FSIZE, options.fileSizeLimit);
        }
        limit(RLIMIT_AS, options.addressSpace);
        limit(RLIMIT_STACK, options.stackSize);
        // Everything else the test process had open is closed, so that a closed standard
        // stream is the lowest free number, as in a shell's "<&-".
        for (int fd = 3; fd < 1024; ++fd)
            close(fd);
        if (options.closeStdin)
            close(STDIN_FILENO);
        if (options.closeStdout)
            close(STDOUT_FILENO);
        if (options.closeStderr)
            close(STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (brokenPipe[1] >= 0)
        close(brokenPipe[1]);
    int status = 0;
    bool acted = false;
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
        if (options.when && !acted && options.when()) {
            options.act(pid);
            acted = true;
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

CliRun run_cli(const std::vector<std::string>& args, const std::string& folder, long fileSizeLimit,
               const std::string& stdoutFile, const std::function<bool()>& signalWhen, int signal) {
    CliRunOptions options;
    options.fileSizeLimit = fileSizeLimit;
    options.stdoutFile = stdoutFile;
    options.when = signalWhen;
    options.act = [signal](int pid) { kill(pid, signal); };
    return run_cli(args, folder, options);
}

void end_outright(int pid) {
    kill(pid, SIGKILL);
}

} // namespace skyfetch::test
