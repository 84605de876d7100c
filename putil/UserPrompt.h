#pragma once

#include <string>

namespace skyfetch {

enum class PromptIcon { Warning, Error, Question, Information };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

// Every message box and modal question of the program goes through this interface, so
// that the desktop program shows real message boxes (titled with the program's name)
// and tests can record the texts and answer the questions.
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    virtual PromptAnswer show(const std::string& text, PromptIcon icon,
                              PromptButtons buttons) = 0;
};

// The prompt in use. Until one is installed, messages go to standard error and
// questions are answered No.
UserPrompt& user_prompt();
// Installs a prompt (not owned); nullptr restores the standard-error prompt.
void set_user_prompt(UserPrompt* prompt);

} // namespace skyfetch
