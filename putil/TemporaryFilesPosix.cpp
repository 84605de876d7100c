#include "putil/TemporaryFiles.h"

#include "putil/PosixSupport.h"
#include "putil/TemporaryPlaces.h"
#include "putil/TemporaryRegistry.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace skyfetch {
namespace {

constinit temporaries::PlaceTable<char, PATH_MAX> g_places;
constinit temporaries::CleanupGate g_gate;

// Every signal whose default action ends the process and that a handler can catch.
// SIGPIPE and SIGXFSZ are normally ignored by the programs (a failed write is reported
// instead) and are then left alone like any other ignored signal.
constexpr int kFixedSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,    SIGTRAP, SIGABRT, SIGBUS,
                                 SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM,
                                 SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGSTKFLT
                                 SIGSTKFLT,
#endif
#ifdef SIGPOLL
                                 SIGPOLL,
#endif
#ifdef SIGPWR
                                 SIGPWR,
#endif
};
constexpr int kMaxSignal = 65;
struct sigaction g_previous[kMaxSignal];

template <typename Visit> void for_each_ending_signal(Visit visit) {
    for (int signal : kFixedSignals)
        visit(signal);
    // Real-time signals end the process too when nobody handles them.
    for (int signal = SIGRTMIN; signal <= SIGRTMAX && signal < kMaxSignal; ++signal)
        visit(signal);
}

// Async-signal-safe: no locks, no allocation.
void remove_every_temporary() {
    g_gate.begin_cleanup([] {
        const timespec pause{0, 50 * 1000};
        nanosleep(&pause, nullptr);
    });
    g_places.for_each_held([](int folder, const char* name) { ::unlinkat(folder, name, 0); });
}

void remove_and_reraise(int signal) {
    const int saved = errno;
    remove_every_temporary();
    if (signal > 0 && signal < kMaxSignal)
        ::sigaction(signal, &g_previous[signal], nullptr);
    errno = saved;
    // With the previous disposition back in place (the default), the signal ends the
    // process with the status it gives once this handler returns; a fault signal is
    // raised again here so that it does not depend on the faulting instruction.
    ::raise(signal);
}

void install_handlers() {
    sigset_t all;
    sigemptyset(&all);
    for_each_ending_signal([&](int signal) { sigaddset(&all, signal); });
    for_each_ending_signal([&](int signal) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0)
            return;
        // Ignored (nohup, or a failed write reported instead) or handled by the program
        // itself or a sanitizer: leave it alone.
        if (current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO))
            return;
        g_previous[signal] = current;
        struct sigaction action {};
        action.sa_handler = remove_and_reraise;
        action.sa_mask = all;
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    });
}

// When the process began, in clock ticks after boot (field 22 of /proc/<pid>/stat); 0
// when it cannot be read. With the process number it names a process for good: a
// number used again later belongs to a process with another start.
std::uint64_t process_start(long pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[1024];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    text[n] = '\0';
    // The command name (field 2) may hold spaces and parentheses: count from its end.
    const char* field = std::strrchr(text, ')');
    if (!field)
        return 0;
    for (int number = 2; number < 22; ++number) {
        field = std::strchr(field + 1, ' ');
        if (!field)
            return 0;
    }
    return std::strtoull(field + 1, nullptr, 10);
}

} // namespace

namespace temporaries {

Creation::Creation() {
    static std::once_flag installed;
    std::call_once(installed, install_handlers);
    m_allowed = g_gate.enter();
}

Creation::~Creation() {
    g_gate.leave();
}

int add(std::intptr_t folder, const std::string& name) {
    return g_places.add(name.c_str(), name.size(), static_cast<int>(folder));
}

const Owner& this_process() {
    static const Owner owner = [] {
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) != 0)
            name[0] = '\0';
        return Owner{host_tag(name), static_cast<long>(getpid()), process_start(getpid())};
    }();
    return owner;
}

bool has_ended(const Owner& owner) {
    if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH)
        return true;
    // The number is in use: by the owner, or by a later process that got it again.
    const std::uint64_t start = process_start(owner.pid);
    return start != 0 && owner.start != 0 && start != owner.start;
}

} // namespace temporaries

int create_temporary_at(int folder, const char* name, int flags, unsigned mode, int& ticket) {
    ticket = -1;
    const temporaries::Creation creation;
    if (!creation.allowed()) {
        errno = EINTR;
        return -1;
    }
    // Registered before it exists, so that no moment is left in which a signal would
    // leave it behind.
    ticket = temporaries::add(folder, name);
    const int fd = ::openat(folder, name, flags | O_CREAT, static_cast<mode_t>(mode));
    const int error = errno;
    if (fd < 0) {
        forget_temporary(ticket);
        ticket = -1;
    }
    errno = error;
    return fd;
}

void forget_temporary(int ticket) {
    g_places.forget(ticket);
}

void remove_temporaries_now() {
    remove_every_temporary();
}

int remove_stale_temporaries_at(int folder) {
    // A descriptor of our own for the listing: closedir() closes it.
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0)
        return 0;
    DIR* dir = ::fdopendir(listed);
    if (!dir) {
        ::close(listed);
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.' || !is_stale_temporary_name(entry->d_name))
            continue;
        struct stat info {};
        if (::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::unlinkat(folder, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

int remove_stale_temporaries(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const int removed = remove_stale_temporaries_at(fd);
    ::close(fd);
    return removed;
}

} // namespace skyfetch
