#pragma once

namespace skyfetch {

// Temporary files that must not outlive an interrupted process. While a file is
// registered, SIGTERM, SIGINT or SIGHUP first remove it and then end the process as the
// signal would have (the handler only unlinks paths prepared beforehand, which is safe
// inside a signal handler). The handlers are installed with the first registration; a
// signal the process ignores stays ignored.

// Creates the file with open(path, flags | O_CREAT, mode) and registers it for removal;
// returns the descriptor, or -1 with errno set. ticket receives the registration for
// forget_temporary (-1 when all places are taken: the file is then created but not
// cleaned up on a signal). Once a signal has begun the cleanup, nothing more is created
// (EINTR), so no thread can leave a file behind the cleanup's back.
int create_temporary(const char* path, int flags, unsigned mode, int& ticket);
// The file was renamed or removed: a signal no longer touches the path.
void forget_temporary(int ticket);

} // namespace skyfetch
