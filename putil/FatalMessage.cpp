#include "putil/FatalMessage.h"

#include "putil/UserPrompt.h"

#include <cstdio>
#include <cstdlib>

namespace skyfetch {
namespace {
void print_to_stderr(const char* text) {
    std::fprintf(stderr, "%s\n", text);
}
FatalMessageHandler g_handler = print_to_stderr;
} // namespace

void prompt_fatal_message(const char* text) {
    print_to_stderr(text);
    user_prompt().show(text, PromptIcon::Error, PromptButtons::Ok);
}

void set_fatal_message_handler(FatalMessageHandler handler) {
    g_handler = handler ? handler : print_to_stderr;
}

void fatal_exit(const char* text) {
    g_handler(text);
    std::exit(99);
}

} // namespace skyfetch
