#pragma once

#include "dialog/MessageBoxPrompt.h"

namespace skyfetch {

// The program's messages while the object lives: every message box and question is a
// QMessageBox, and a fatal condition (an exhausted heap) on the thread that made the
// object, the interface thread, shows an error box with an OK button before the process
// ends with status 99 (elsewhere it goes to standard error only, see FatalMessage.h).
// A QApplication must exist.
class DesktopMessages {
public:
    DesktopMessages();
    ~DesktopMessages();
    DesktopMessages(const DesktopMessages&) = delete;
    DesktopMessages& operator=(const DesktopMessages&) = delete;

private:
    MessageBoxPrompt m_prompt;
};

// The desktop program: everything between the application object and the end of the
// one modal dialog.
class CSkyfetchApp {
public:
    // Makes the documents folder the current directory, chooses the output folder and
    // first name (from the command line's first plain argument or the last output),
    // runs the main dialog modally and returns false: the program ends when the dialog
    // closes. A QApplication must exist.
    bool InitInstance();
};

} // namespace skyfetch
