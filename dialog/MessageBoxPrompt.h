#pragma once

#include "putil/UserPrompt.h"

namespace skyfetch {

// Message boxes and questions as QMessageBox, titled with the program's name, over the
// active window.
class MessageBoxPrompt : public UserPrompt {
public:
    PromptAnswer show(const std::string& text, PromptIcon icon, PromptButtons buttons) override;
};

} // namespace skyfetch
