#pragma once

#include <string>

namespace skyfetch {

// Temporary files that must not outlive their process. They are made by
// OutputFolder::create_temporary, which registers each one before it exists.
//
// While a file is registered, whatever would end the process from outside removes it
// first: on POSIX any signal whose default action ends the process (SIGTERM, SIGINT,
// SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, a crash, ...), on Windows Ctrl-C, Ctrl-Break and the
// closing of the console. The handlers only remove names prepared beforehand, which is
// safe inside a signal handler, then let the process end as it would have. They are
// installed with the first registration; a signal the process ignores or handles itself
// is left alone.
//
// A process killed outright (SIGKILL, a power cut) cannot clean up. Its files carry their
// owner in their name, ".skyfetch-<host>-<pid>-<start>-<random>.tmp" (host: a tag of the
// machine's name, start: when the process began), so that a later run that writes into
// the same folder recognises them and removes them once that process is gone.

// A fresh name for a temporary file of this process (no folder).
std::string temporary_file_name();

// The file was renamed or removed: the cleanup no longer touches the name.
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

} // namespace skyfetch
