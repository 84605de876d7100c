#include "putil/FatalMessage.h"

#include <cstdio>
#include <cstdlib>

namespace skyfetch {
namespace {
void print_to_stderr(const char* text) {
    std::fprintf(stderr, "%s\n", text);
}
FatalMessageHandler g_handler = print_to_stderr;
} // namespace

void set_fatal_message_handler(FatalMessageHandler handler) {
    g_handler = handler ? handler : print_to_stderr;
}

void fatal_exit(const char* text) {
    g_handler(text);
    std::exit(99);
}

} // namespace skyfetch
