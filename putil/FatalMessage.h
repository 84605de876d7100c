#pragma once

namespace skyfetch {

// How a fatal condition (an exhausted heap) is shown to the user before the process
// ends. The command-line tools print to standard error; the desktop program installs
// prompt_fatal_message, so that the user sees it in a message box.
using FatalMessageHandler = void (*)(const char* text);

// nullptr restores printing to standard error.
void set_fatal_message_handler(FatalMessageHandler handler);

// Prints the text on standard error and shows it through the installed user prompt as
// an error with an OK button.
void prompt_fatal_message(const char* text);

// Shows the text through the installed handler, then ends the process with status 99.
[[noreturn]] void fatal_exit(const char* text);

} // namespace skyfetch
