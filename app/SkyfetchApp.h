#pragma once

namespace skyfetch {

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
