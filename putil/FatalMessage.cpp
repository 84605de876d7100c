#include "putil/FatalMessage.h"

#include "putil/ProcessSetup.h"
#include "putil/TemporaryFiles.h"
#include "putil/UserPrompt.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace skyfetch {
namespace {

std::atomic<FatalMessageHandler> g_handler{nullptr};
std::atomic<std::thread::id> g_handlerThread{};
std::atomic<bool> g_entered{false};

[[noreturn]] void end_at_once() {
    // No destructor will run: the temporary files in flight are removed here.
    remove_temporaries_now();
    std::fflush(stderr);
    std::_Exit(99);
}

[[noreturn]] void end_process() {
    // Writers on the stack are never destroyed on this path either.
    remove_temporaries_now();
    if (is_only_thread())
        std::exit(99);
    end_at_once();
}

} // namespace

void prompt_fatal_message(const char* text) {
    user_prompt().show(text, PromptIcon::Error, PromptButtons::Ok);
}

void set_fatal_message_handler(FatalMessageHandler handler) {
    g_handlerThread = handler ? std::this_thread::get_id() : std::thread::id();
    g_handler = handler;
}

void fatal_end() {
    end_process();
}

void fatal_exit(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    if (g_entered.exchange(true))
        end_at_once(); // a second fatal condition, perhaps from inside the first's box
    const FatalMessageHandler handler = g_handler;
    if (handler != nullptr && std::this_thread::get_id() == g_handlerThread.load()) {
        try {
            handler(text);
        } catch (...) {
            end_at_once(); // the message is on standard error already
        }
    }
    end_process();
}

} // namespace skyfetch
