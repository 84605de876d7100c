#pragma once

#include <functional>

namespace skyfetch {

// Runs request on a thread of its own and returns its answer, or throws what it threw.
// Called on the application's thread, that thread goes on handling its events meanwhile,
// except the user's input, which waits for the answer: the window repaints and its
// timers run, but no click can start a second request or change the dialog halfway
// through the first. Called elsewhere, or without an application, it simply runs request.
bool RunOffInterfaceThread(const std::function<bool()>& request);

} // namespace skyfetch
