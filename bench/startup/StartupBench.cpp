// The window's start, from the program's launch to its first complete frame (globe and
// chart drawn), against a bare Qt dialog with one OpenGL widget started the same way.
// Run under one X server: xvfb-run -a -s '-screen 0 1280x1024x24' startup_bench [RUNS]
//
// Each program is started RUNS times (default 9), the two taking turns; the medians and
// their ratio are printed. The window gets a fresh settings folder and documents folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Milliseconds from the launch to the first frame, as the program reports the frame's
// time on the same steady clock.
double run_once(const char* program, const fs::path& home) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(1);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        setenv("SKYFETCH_EXIT_AFTER_FIRST_FRAME", "1", 1);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        std::freopen("/dev/null", "w", stderr);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long frame = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(output.c_str(), "first frame %lld", &frame) != 1) {
        std::fprintf(stderr, "startup_bench: %s failed (status %d)\n", program, status);
        std::exit(1);
    }
    const auto first = std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(frame));
    return std::chrono::duration<double>(first - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "startup_bench: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    char pattern[] = "/tmp/skyfetch-startup-bench-XXXXXX";
    const fs::path home = mkdtemp(pattern);
    fs::create_directories(home / "Documents");
    std::printf("Target: the window within 1.5 times the bare dialog (%u cores, median of %d)\n",
                std::thread::hardware_concurrency(), runs);
    std::fflush(stdout);
    // One start of each first, so that both find the libraries in the page cache.
    run_once(SKYFETCH_PROGRAM, home);
    run_once(SKYFETCH_BARE_DIALOG, home);
    std::vector<double> window, bare;
    for (int i = 0; i < runs; ++i) {
        window.push_back(run_once(SKYFETCH_PROGRAM, home));
        bare.push_back(run_once(SKYFETCH_BARE_DIALOG, home));
    }
    const double w = median(window);
    const double b = median(bare);
    std::printf("window to first frame %.0f ms, bare dialog %.0f ms, ratio %.2f\n", w * 1000,
                b * 1000, w / b);
    fs::remove_all(home);
    return 0;
}
