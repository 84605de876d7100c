#include "putil/TemporaryFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <unistd.h>

namespace skyfetch {
namespace {

// A fixed table the signal handler can walk without locks or allocation. A place is
// Free, being Filled by its owner (ignored by the handler), or Held with a complete path.
enum : int { kFree = 0, kFilling = 1, kHeld = 2 };
constexpr int kPlaces = 1024;

struct Place {
    std::atomic<int> state{kFree};
    // PATH_MAX bytes, made by the first owner and kept for the life of the process, so a
    // handler that read the pointer a moment earlier still reads valid memory.
    std::atomic<char*> path{nullptr};
};
Place g_places[kPlaces];
// Set by the handler before it removes anything; creations in progress are counted so
// the handler can wait for them to register what they made.
std::atomic<bool> g_cleaningUp{false};
std::atomic<int> g_creating{0};

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[sizeof kSignals / sizeof kSignals[0]];

void remove_and_reraise(int signal) {
    const int saved = errno;
    g_cleaningUp.store(true);
    // Other threads go on running meanwhile: let a creation that has begun finish (or,
    // if it is this thread's own, interrupted one, give up waiting for it soon).
    for (int spins = 0; g_creating.load() > 0 && spins < 2000; ++spins) {
        const timespec pause{0, 50 * 1000};
        nanosleep(&pause, nullptr);
    }
    for (Place& place : g_places) {
        if (place.state.load(std::memory_order_acquire) == kHeld) {
            if (const char* path = place.path.load(std::memory_order_acquire))
                ::unlink(path);
        }
    }
    for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
        if (kSignals[i] == signal)
            ::sigaction(signal, &g_previous[i], nullptr);
    }
    errno = saved;
    // With the previous disposition back in place (normally the default), the signal
    // ends the process with the status the signal gives.
    ::raise(signal);
}

void install_handlers() {
    for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
        struct sigaction current {};
        if (::sigaction(kSignals[i], nullptr, &current) != 0)
            continue;
        // Ignored (nohup) or handled by the program itself: leave it alone.
        if (current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO))
            continue;
        g_previous[i] = current;
        struct sigaction action {};
        action.sa_handler = remove_and_reraise;
        sigemptyset(&action.sa_mask);
        for (int other : kSignals)
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(kSignals[i], &action, nullptr);
    }
}


int register_path(const char* path) {
    const std::size_t length = std::strlen(path);
    // A longer path could not be opened anyway.
    if (length >= PATH_MAX)
        return -1;
    for (int i = 0; i < kPlaces; ++i) {
        Place& place = g_places[i];
        int expected = kFree;
        if (!place.state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel))
            continue;
        char* buffer = place.path.load(std::memory_order_relaxed);
        if (!buffer) {
            buffer = new (std::nothrow) char[PATH_MAX];
            if (!buffer) {
                place.state.store(kFree, std::memory_order_release);
                return -1;
            }
        }
        std::memcpy(buffer, path, length + 1);
        place.path.store(buffer, std::memory_order_release);
        place.state.store(kHeld, std::memory_order_release);
        return i;
    }
    return -1;
}

} // namespace

int create_temporary(const char* path, int flags, unsigned mode, int& ticket) {
    static std::once_flag installed;
    std::call_once(installed, install_handlers);
    ticket = -1;
    g_creating.fetch_add(1);
    if (g_cleaningUp.load()) {
        g_creating.fetch_sub(1);
        errno = EINTR;
        return -1;
    }
    // Registered before it exists, so that no moment is left in which a signal would
    // leave it behind.
    ticket = register_path(path);
    const int fd = ::open(path, flags | O_CREAT, static_cast<mode_t>(mode));
    const int error = errno;
    if (fd < 0) {
        forget_temporary(ticket);
        ticket = -1;
    }
    g_creating.fetch_sub(1);
    errno = error;
    return fd;
}

void forget_temporary(int ticket) {
    if (ticket >= 0 && ticket < kPlaces)
        g_places[ticket].state.store(kFree, std::memory_order_release);
}

} // namespace skyfetch
