#pragma once

#include <string>

namespace skyfetch {

// Temporary files that must not outlive their process.
//
// While a file is registered, any signal that would end the process (SIGTERM, SIGINT,
// SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, a crash, ...) first removes it and then ends the
// process as the signal would have: the handler only unlinks names prepared beforehand,
// which is safe inside a signal handler. The handlers are installed with the first
// registration; a signal the process ignores or handles itself is left alone.
//
// A process killed outright (SIGKILL, a power cut) cannot clean up. Its files carry their
// owner in their name, ".skyfetch-<host>-<pid>-<start>-<random>.tmp" (host: a tag of the
// machine's name, start: when the process began), so that a later run that writes into
// the same folder recognises them and removes them once that process is gone.

// A fresh name for a temporary file of this process (no folder). O_EXCL settles the rare
// collision with another writer.
std::string temporary_file_name();

// Creates the file with openat(folder, name, flags | O_CREAT, mode) (folder: a descriptor
// of an open folder, or -100 (AT_FDCWD) for a name relative to the current directory)
// and registers it for removal; returns the descriptor, or -1 with errno set. ticket
// receives the registration for forget_temporary (-1 when all places are taken: the file
// is then created but not cleaned up on a signal). Once a signal has begun the cleanup,
// nothing more is created (EINTR), so no thread can leave a file behind the cleanup's
// back. The folder descriptor must stay open until the file is forgotten.
int create_temporary_at(int folder, const char* name, int flags, unsigned mode, int& ticket);
int create_temporary(const char* path, int flags, unsigned mode, int& ticket);
// The file was renamed or removed: a signal no longer touches the name.
void forget_temporary(int ticket);

// Removes every registered temporary file at once and creates no more: for a process
// that is about to end without unwinding (a fatal condition under running threads).
void remove_temporaries_now();

// True when the name (without folder) is one of our temporary names whose process, on
// this machine, has ended.
bool is_stale_temporary_name(const std::string& name);
// Removes the stale temporary files that this user's ended processes left in the folder
// (regular files only, never a link); returns how many were removed.
int remove_stale_temporaries(const std::string& folder);
int remove_stale_temporaries_at(int folder);

} // namespace skyfetch
