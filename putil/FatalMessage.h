#pragma once

namespace skyfetch {

// How a fatal condition (an exhausted heap) is shown to the user before the process
// ends. The command-line tools print to standard error; the desktop program installs a
// handler that shows a message box with an OK button.
using FatalMessageHandler = void (*)(const char* text);

void set_fatal_message_handler(FatalMessageHandler handler);

// Shows the text through the installed handler, then ends the process with status 99.
[[noreturn]] void fatal_exit(const char* text);

} // namespace skyfetch
