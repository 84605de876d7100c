#pragma once

namespace skyfetch {

// Temporary files that must not outlive an interrupted process. While a file is
// registered, SIGTERM, SIGINT or SIGHUP first remove it and then end the process as the
// signal would have (the handler only unlinks paths prepared beforehand, which is safe
// inside a signal handler). The handlers are installed with the first registration; a
// signal the process ignores stays ignored.

// Registers a path (copied); returns a ticket for forget_temporary, or -1 when all
// places are taken (the file is then not cleaned up on a signal).
int register_temporary(const char* path);
// The file was renamed or removed: a signal no longer touches the path.
void forget_temporary(int ticket);

} // namespace skyfetch
