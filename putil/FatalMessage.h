#pragma once

namespace skyfetch {

// The end of the process on a fatal condition (an exhausted heap): the message goes to
// standard error, the desktop program also shows it in a message box, and the process
// ends with status 99.
//
// The box is shown only where it is safe: on the thread that installed the handler (the
// desktop program installs it on its interface thread) and only for the first fatal
// condition. A fatal condition on any other thread, a second one (say, while the box is
// up) or a failure of the handler itself (any exception) ends the process at once with
// the message on standard error only.
//
// How the process ends: std::exit(99) when the calling thread is the process's only
// thread, so that exit handlers run and the standard streams are flushed as for any
// other end; otherwise, or when that cannot be told, or after a second fatal condition
// or a failed handler, standard error is flushed and std::_Exit(99) ends the process
// without running exit handlers or static destructors under threads still at work.
using FatalMessageHandler = void (*)(const char* text);

// Installs the handler (nullptr: none) for the calling thread: fatal conditions on other
// threads are not shown through it.
void set_fatal_message_handler(FatalMessageHandler handler);

// Shows the text through the installed user prompt as an error with an OK button.
void prompt_fatal_message(const char* text);

// Ends the process with status 99 as fatal_exit does, without a message.
[[noreturn]] void fatal_end();

// Prints the text on standard error, shows it through the installed handler where that
// is safe, then ends the process with status 99, as described above.
[[noreturn]] void fatal_exit(const char* text);

} // namespace skyfetch
