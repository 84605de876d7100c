#pragma once

// The table of temporary files in progress that a signal or console handler walks, for
// the implementations in this folder only. Everything here is lock-free and allocates
// only when a place is first used, so the handler side may run at any moment.

#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>

namespace skyfetch::temporaries {

// A fixed table of names, each with the folder (descriptor) it is relative to. A place is
// Free, being Filled by its owner (skipped by the handler), or Held with a complete name.
template <typename Char, std::size_t kPathMax> class PlaceTable {
public:
    static constexpr int kPlaces = 1024;

    // Copies the name (length characters) into a free place; the ticket, or -1 when the
    // name is too long or every place is taken (the file is then not cleaned up).
    int add(const Char* name, std::size_t length, int folder) {
        if (length >= kPathMax)
            return -1;
        for (int i = 0; i < kPlaces; ++i) {
            Place& place = m_places[i];
            int expected = kFree;
            if (!place.state.compare_exchange_strong(expected, kFilling,
                                                     std::memory_order_acq_rel))
                continue;
            Char* buffer = place.name.load(std::memory_order_relaxed);
            if (!buffer) {
                buffer = new (std::nothrow) Char[kPathMax];
                if (!buffer) {
                    place.state.store(kFree, std::memory_order_release);
                    return -1;
                }
            }
            std::memcpy(buffer, name, length * sizeof(Char));
            buffer[length] = Char{};
            place.name.store(buffer, std::memory_order_release);
            place.folder.store(folder, std::memory_order_release);
            place.state.store(kHeld, std::memory_order_release);
            return i;
        }
        return -1;
    }

    void forget(int ticket) {
        if (ticket >= 0 && ticket < kPlaces)
            m_places[ticket].state.store(kFree, std::memory_order_release);
    }

    // Calls remove(folder, name) for every held place.
    template <typename Remove> void for_each_held(Remove remove) const {
        for (const Place& place : m_places) {
            if (place.state.load(std::memory_order_acquire) != kHeld)
                continue;
            if (const Char* name = place.name.load(std::memory_order_acquire))
                remove(place.folder.load(std::memory_order_acquire), name);
        }
    }

private:
    enum : int { kFree = 0, kFilling = 1, kHeld = 2 };
    struct Place {
        std::atomic<int> state{kFree};
        std::atomic<int> folder{0};
        // kPathMax characters, made by the first owner and kept for the life of the
        // process, so a handler that read the pointer a moment earlier still reads valid
        // memory.
        std::atomic<Char*> name{nullptr};
    };
    Place m_places[kPlaces];
};

// Creations in progress and the one cleanup: a cleanup waits for creations that have
// begun to register what they made, and no creation may begin once it has started.
class CleanupGate {
public:
    // True when the creation may go on; leave() must follow either way.
    bool enter() {
        m_creating.fetch_add(1);
        return !m_cleaningUp.load();
    }
    void leave() { m_creating.fetch_sub(1); }

    // Other threads go on running meanwhile: lets a creation that has begun finish (or,
    // if it is the interrupted thread's own, gives up waiting for it soon).
    template <typename Pause> void begin_cleanup(Pause pause) {
        m_cleaningUp.store(true);
        for (int spins = 0; m_creating.load() > 0 && spins < 2000; ++spins)
            pause();
    }

private:
    std::atomic<bool> m_cleaningUp{false};
    std::atomic<int> m_creating{0};
};

} // namespace skyfetch::temporaries
