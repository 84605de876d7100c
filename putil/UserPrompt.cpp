#include "putil/UserPrompt.h"

#include <cstdio>

namespace skyfetch {
namespace {

class StderrPrompt : public UserPrompt {
public:
    PromptAnswer show(const std::string& text, PromptIcon, PromptButtons buttons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

StderrPrompt g_stderrPrompt;
UserPrompt* g_prompt = &g_stderrPrompt;

} // namespace

UserPrompt& user_prompt() { return *g_prompt; }

void set_user_prompt(UserPrompt* prompt) { g_prompt = prompt ? prompt : &g_stderrPrompt; }

} // namespace skyfetch
